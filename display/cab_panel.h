#pragma once
// The driver's cab in the upper left of the window: outline, fire-hole
// door, five dials, reversing wheel with the cut-off scale, both water
// gauges, regulator lever, brake handle, sanding lever, injector handle,
// three valve hand wheels and two small levers. It also places the knob of
// a dragged control (`handleX`, `handleY`) and latches the sanding direction.

#include "canvas.h"
#include "frame_logic.h"
#include "locomotive_state.h"

namespace zt40 {

void drawCabPanel(Canvas& canvas, LocomotiveState& copy, FrameState& frame);

}  // namespace zt40
