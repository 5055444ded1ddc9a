#pragma once
// The texts of a frame: the status lines, the help box for what is under
// the mouse and the warning boxes, from the record and what the frame
// rules decided, placed where they cover none of the texts `taken` holds
// nor one another. Nothing while the texts are hidden.

#include "display_memory.h"
#include "frame_rules.h"
#include "locomotive_state.h"
#include "status_texts.h"
#include "text_boxes.h"

namespace zt40 {

// The room of the status lines: right of the cab and under the button bar,
// clear of the right-hand panel and above the side view.
StatusRoom statusRoom(const LocomotiveState& copy);

TextStage composeTextStage(const LocomotiveState& copy, const FrameState& rules, DisplayMemory& memory,
                           const AverageMeans& means, const TextLayer& taken);

}  // namespace zt40
