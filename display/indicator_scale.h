#pragma once
// The scales of the indicator diagram, in design millimetres of the window
// (divided by the display scale for pixels): where the model's samples of
// piston travel, pressure, crank angle and rim force fall, where the grid
// lies, and what the pointer's height over the diagram reads as.

namespace zt40::indicator {

// Vertical: both axes share the zero line, measured from the window's top.
inline constexpr double zeroLineMm = 2700.0;        // 0 bar and 0 kN
inline constexpr double pascalsToMm = 0.00166666;   // mm per Pa over atmosphere: 1 bar is 166.67 mm
inline constexpr double newtonsToMm = 0.0111111;    // mm per N at the rim: 1 kN is 11.11 mm
inline constexpr double mmPerBar = 166.66666;       // the grid's step and the pointer's reading
inline constexpr double mmPerKilonewton = 11.1111;  // the pointer's reading
inline constexpr double gridBottomMm = 2866.66666;  // -1 bar

// Horizontal, leftward from the window's right edge: the pressure loops
// run over the piston's travel from the left grid line, the force curve
// over the crank angle leftward from the right grid line.
inline constexpr double travelStartMm = 3100.0;    // the piston at the start of its travel; the left grid line
inline constexpr double mmPerMetreOfTravel = 4545.454545;  // the stroke of 0.66 m spans 3000 mm
inline constexpr double crankZeroMm = 100.0;       // crank angle 0; the right grid line
inline constexpr double mmPerTurn = 3000.0;        // of crank angle

}  // namespace zt40::indicator
