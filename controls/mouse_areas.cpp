#include "mouse_areas.h"

#include "numeric.h"

namespace zt40 {

MouseLayout::MouseLayout(const LocomotiveState& state)
    : s_(state.displayScale),
      width_(state.clientWidth),
      barLeft_(truncateTo<int>(layout::barLeft / state.displayScale)),
      reverserX_(truncateTo<int>(layout::anchor.x / state.displayScale)),
      reverserY_(truncateTo<int>(layout::anchor.y / state.displayScale)) {}

}  // namespace zt40
