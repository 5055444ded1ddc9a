#pragma once
// What the help box says about the control or instrument under the mouse:
// up to three lines with the current values and the keys that work it.

#include <array>
#include <string>

#include "display_memory.h"
#include "frame_rules.h"
#include "locomotive_state.h"
#include "pointer_targets.h"

namespace zt40 {

// Lines of the help for a hover target (pointer_targets.h); empty lines are
// not shown, an unknown target has none.
std::array<std::string, 3> helpLines(int item, const LocomotiveState& copy, const FrameState& frame,
                                     const AverageMeans& means);

}  // namespace zt40
