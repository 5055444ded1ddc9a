#pragma once
// The warning and hint boxes of a frame, in drawing order (a later box
// covers an earlier one at the same place), and the latches that keep a
// warning up until its cause has clearly gone.

#include <vector>

#include "display_memory.h"
#include "frame_rules.h"
#include "locomotive_state.h"
#include "text_boxes.h"

namespace zt40 {

// Decides the boxes from the frame's rules and updates the latches in `memory`.
std::vector<TextBox> warningBoxes(const LocomotiveState& copy, const FrameState& frame, DisplayMemory& memory,
                                  const AverageMeans& means);

// The priming warning with its rate: litres above 1 l/s, else millilitres.
std::string primingText(double primingRate);

}  // namespace zt40
