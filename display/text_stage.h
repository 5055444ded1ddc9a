#pragma once
// The texts of a frame: the status lines, the help box for what is under
// the mouse and the warning boxes, from the record and what the frame
// rules decided. Nothing while the texts are hidden.

#include "display_memory.h"
#include "frame_rules.h"
#include "locomotive_state.h"
#include "text_boxes.h"

namespace zt40 {

TextStage composeTextStage(const LocomotiveState& copy, const FrameState& rules, DisplayMemory& memory,
                           const AverageMeans& means);

}  // namespace zt40
