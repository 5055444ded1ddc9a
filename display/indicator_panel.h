#pragma once
// The indicator diagram in the right-hand panel: the pressure loops of both
// working spaces of the shown cylinder side over piston travel, the
// tractive force over crank angle, and the mean tractive force from the
// power average. The model samples travel, pressures, crank angle and rim
// force; this scales them into the window and draws them over a frame, a
// dotted grid of -1 to 15 bar and two title lines.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "canvas.h"
#include "display_memory.h"
#include "locomotive_state.h"

namespace zt40 {

// The three series drawn from the samples: working space B's pressure over
// piston travel, working space A's over the same travel, and the rim force
// over the crank angle.
enum class IndicatorSeries { green = 0, red = 1, cyan = 2 };

inline constexpr int indicatorGridRowCount = 17;  // -1 bar to 15 bar

// Rows of the horizontal grid lines, from -1 bar at the bottom upward.
std::array<int, indicatorGridRowCount> indicatorGridRows(double displayScale);

// Where a sample falls in one series, in client pixels of a window
// `clientWidth` wide at `displayScale` mm per pixel, truncated toward zero
// and kept near the window.
PixelPoint indicatorPixel(const IndicatorSample& sample, IndicatorSeries series, double displayScale, int clientWidth,
                          int clientHeight);

// The valid points of one series, each kept near the window.
std::vector<PixelPoint> indicatorPoints(const LocomotiveState& copy, IndicatorSeries series);

// Row of the mean tractive force line; none at a standstill or when the
// force is not finite.
std::optional<int> meanTractiveForceRow(const LocomotiveState& copy, float powerAverage);

// The largest mean tractive force, kN, that the diagram places as it is:
// the force whose line lies at the edge of the reach kept around the window.
// At creep speed the power average over the speed is far beyond it.
double meanTractiveForceReach(const LocomotiveState& copy);

std::string indicatorTitle(const LocomotiveState& copy);
std::string tractiveForceTitle(const LocomotiveState& copy);

void drawIndicatorDiagram(Canvas& canvas, const LocomotiveState& copy, const AverageMeans& means);

// The right-hand panel of the frame: the indicator diagram when it is
// chosen, otherwise the bar columns; nothing while the track table is shown.
void drawRightHandPanel(Canvas& canvas, const LocomotiveState& copy, const AverageMeans& means);

// The left edge of what the right-hand panel shows, px: the texts left of
// it keep clear of it.
int rightHandPanelLeft(const LocomotiveState& copy);

}  // namespace zt40
