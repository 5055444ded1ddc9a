#include "dialog_place.h"

#include <algorithm>

#include "cab_layout.h"
#include "numeric.h"
#include "window_layout.h"

namespace zt40 {

namespace {

// Into [low, high - length], the low end first where it does not fit.
int keptWithin(int at, int length, int low, int high) { return std::max(low, std::min(at, high - length)); }

}  // namespace

ScreenPoint cabCorner(const LocomotiveState& state) {
    const double scale = cabScale(state);  // mm per px
    if (!(scale > 0.0)) return {0, 0};
    const layout::Point corner = layout::anchor + layout::outlineCorner;
    return {truncateTo<int>(corner.x / scale), truncateTo<int>(corner.y / scale)};
}

ScreenPoint dialogPlace(const ScreenRect& frame, const ScreenRect& client, ScreenPoint cab, int width, int height,
                        const ScreenRect& screen) {
    ScreenPoint at{frame.left - width, client.top};  // left of the window, level with the cab's top
    if (at.x < screen.left) at = {client.left, client.top + cab.y};  // under the cab
    return {keptWithin(at.x, width, screen.left, screen.right), keptWithin(at.y, height, screen.top, screen.bottom)};
}

}  // namespace zt40
