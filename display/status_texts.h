#pragma once
// The seven status lines under the button bar and the simulation speed
// shown beside its button, and where the status lines stand in the room
// the frame leaves them.

#include <array>
#include <string>
#include <vector>

#include "locomotive_state.h"
#include "text_boxes.h"

namespace zt40 {

// "STOP", "1:2" .. "1:10" slower, "1:1" .. "10:1" faster.
std::string simSpeedText(int simSpeedCode);

// Each status line's readings: one or two, shown on the line with a blank
// between them.
using StatusReadings = std::array<std::vector<std::string>, statusLineCount>;

// Gradient and distance, valves, speeds, temperatures, time, supplies, coal.
StatusReadings statusReadings(const LocomotiveState& copy, double coalRate, double coalTotal);
std::array<std::string, statusLineCount> statusLines(const LocomotiveState& copy, double coalRate, double coalTotal);

// px of the 8 x 16 cell below the first status line, line by line.
inline constexpr std::array<int, statusLineCount> statusLineOffsets{0, 18, 35, 53, 71, 89, 107};

// Where the status lines may stand, px; right and bottom exclusive.
struct StatusRoom {
    int left, top, right, bottom;
};

// The status lines as laid out where they fit the room and cover nothing
// `layer` has taken. Where they do not, a line a cell high each, a line
// too wide for the room split into its readings, and where the room is
// too low for them all, whole lines left out, the least needed first:
// coal, time, cylinder temperature, supplies, gradient, valves, speed.
std::vector<PlacedLine> placeStatusLines(const StatusReadings& readings, const StatusRoom& room,
                                         const TextLayer& layer);

}  // namespace zt40
