#include "mouse_areas.h"

#include "numeric.h"

namespace zt40 {

MouseLayout::MouseLayout(const LocomotiveState& state)
    : s_(state.displayScale),
      cabS_(cabScale(state)),
      width_(state.clientWidth),
      bar_(buttonBarPlace(state)),
      reverserX_(truncateTo<int>(layout::anchor.x / cabS_)),
      reverserY_(truncateTo<int>(layout::anchor.y / cabS_)) {}

}  // namespace zt40
