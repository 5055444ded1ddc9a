#include "mouse_areas.h"

#include "numeric.h"

namespace zt40 {

MouseLayout::MouseLayout(const LocomotiveState& state)
    : s_(state.displayScale),
      width_(state.clientWidth),
      barLeft_(truncateTo<int>(2150.0 / state.displayScale)),
      reverserX_(truncateTo<int>(1560.0 / state.displayScale)),
      reverserY_(truncateTo<int>(2000.0 / state.displayScale)) {}

}  // namespace zt40
