#pragma once
// Where a dialog opens: beside the cab, so that the cab's instruments and
// the status lines stay in view while the driver changes the settings, and
// wholly on the screen the window is on.

#include "locomotive_state.h"

namespace zt40 {

// A rectangle in screen pixels; right and bottom exclusive.
struct ScreenRect {
    int left, top, right, bottom;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

struct ScreenPoint {
    int x, y;
};

// The cab drawn in the window: its lower right corner, client px.
ScreenPoint cabCorner(const LocomotiveState& state);

// The top left of a dialog `width` x `height` px. `frame` is the window
// with its frame, `client` its client area (both on the screen), `cab`
// the cab's lower right in the client area, `screen` the part of the
// window's screen that windows may use. Left of the window beside the cab
// where the screen has room there; else under the cab, over the side
// view, at the window's left; moved onto the screen as far as needed, a
// dialog larger than the screen with its top left on it.
ScreenPoint dialogPlace(const ScreenRect& frame, const ScreenRect& client, ScreenPoint cab, int width, int height,
                        const ScreenRect& screen);

}  // namespace zt40
