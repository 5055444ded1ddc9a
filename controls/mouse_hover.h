#pragma once
// Resting the pointer on a control or an instrument names it: the hover
// logic finds the first of the window's areas under the pointer, in their
// fixed order, and gives its `hoverTarget` and the cursor that shows what
// the mouse can do there.

#include "locomotive_state.h"
#include "cursor_shape.h"
#include "pointer_targets.h"

namespace zt40 {

struct HoverHit {
    hover::Target target = hover::none;
    CursorShape cursor = CursorShape::standard;  // the window's own cursor where nothing is hit
};

// The area under the client point (x, y); `displayScale` must not be 0.
HoverHit hoverHitAt(const LocomotiveState& state, int x, int y);

// A mouse message's point: `mouseX`, `mouseY`, `hoverTarget`, the hint
// withdrawn; returns the cursor to show.
CursorShape hoverMouse(int x, int y, LocomotiveState& state);

}  // namespace zt40
