#pragma once
// The figures beside the indicator diagram, as an engineer reads them off
// an indicator card: per cylinder side and for both, the work of a
// revolution, the mean effective pressure, the indicated power, the steam
// and the steam per indicated kWh over the last turn of the wheels, with
// cut-off, speed and the power at the rim; and the boiler's balance, the
// steam it makes against what its users take. German text lines, drawn in
// the diagram's frame under its titles.

#include <string>
#include <vector>

#include "canvas.h"
#include "locomotive_state.h"

namespace zt40 {

// The indicated figures' lines; none while there are none (the wheels stand).
std::vector<std::string> indicatedFigureLines(const LocomotiveState& copy);

// The boiler's balance, kg/h: a table, or a few lines as wide as the
// figures where the frame has no room beside them.
std::vector<std::string> boilerBalanceLines(const LocomotiveState& copy, bool compact);

// Where the two blocks go in a frame from `left` to `right` (px), the first
// line's top at `top`, in the text cell `cell`: side by side where the
// frame is wide enough, else the compact balance under the figures, and
// that only where it ends above the row `floor` (px), below which the
// pressure loops run; the same whether there are figures or not.
struct FigureBlocks {
    PixelPoint figures;
    PixelPoint balance;
    bool compactBalance;
    bool balanceShown;
};
FigureBlocks placeFigureBlocks(int left, int right, int top, int floor, TextCell cell = referenceCell);

// The row (px) below the blocks placed so.
int figureBlocksBottom(const FigureBlocks& blocks, TextCell cell = referenceCell);

// Both blocks in the canvas's text cell, black on white, narrowed where
// the frame is narrower, placed as `placeFigureBlocks` places them.
void drawIndicatorFigures(Canvas& canvas, const LocomotiveState& copy, const FigureBlocks& at, int right);

}  // namespace zt40
