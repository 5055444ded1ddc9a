#pragma once
// The driver's cab in the upper left of the window: outline, fire-hole
// door, five dials, reversing wheel with the cut-off scale, both water
// gauges, regulator lever, brake handle, sanding lever, injector handle,
// three valve hand wheels and two small levers. It latches the end of the
// engine the sand runs at.

#include "canvas.h"
#include "display_memory.h"
#include "frame_rules.h"
#include "locomotive_state.h"

namespace zt40 {

void drawCabPanel(Canvas& canvas, const LocomotiveState& copy, const FrameState& frame, DisplayMemory& memory);

}  // namespace zt40
