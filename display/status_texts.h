#pragma once
// The seven status lines under the button bar and the simulation speed
// shown beside its button.

#include <array>
#include <string>

#include "locomotive_state.h"
#include "text_boxes.h"

namespace zt40 {

// "STOP", "1:2" .. "1:10" slower, "1:1" .. "10:1" faster.
std::string simSpeedText(int simSpeedCode);

// Gradient and distance, valves, speeds, temperatures, time, supplies, coal.
std::array<std::string, statusLineCount> statusLines(const LocomotiveState& copy, double coalRate, double coalTotal);

// px below the first status line, line by line.
inline constexpr std::array<int, statusLineCount> statusLineOffsets{0, 18, 35, 53, 71, 89, 107};

}  // namespace zt40
