#pragma once
// The hand-over of the main record to a frame's private copy, the one way
// the render thread and the headless runner both take it.

#include "locomotive_state.h"

namespace zt40 {

// What the last frame decided (valve heads, knob positions and whose knob,
// the hold) goes
// back into the main record; then the whole record goes to the frame's copy,
// and its one-shot events are cleared in the main record so that they reach
// exactly this one frame.
void handOverToFrame(LocomotiveState& mainRecord, LocomotiveState& frameCopy);

}  // namespace zt40
