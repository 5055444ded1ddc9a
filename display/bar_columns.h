#pragma once
// The five bar columns of the right-hand panel, shown when the indicator
// diagram is not: mass out of the blast pipe, power at the rim, firing and
// heating-surface load, water per kilometre, acceleration. A red mark shows
// the current value, a cyan mark the moving average of the same quantity.
// Marks are not held inside their column: a value beyond its scale is drawn
// where it falls.

#include <vector>

#include "canvas.h"
#include "display_memory.h"
#include "locomotive_state.h"

namespace zt40 {

// How many columns are drawn: all five with the texts, the first two without.
int barColumnsShown(const LocomotiveState& copy);
// The left edge of the leftmost column drawn, px.
int barColumnsLeft(const LocomotiveState& copy);

struct BarMark {
    int column;  // 1..5
    Rgb colour;  // red for the value, cyan for its average
    int y;       // px
    int left;    // px
    int right;   // px, the column's right edge
};

// The marks to draw, in drawing order.
std::vector<BarMark> barMarks(const LocomotiveState& copy, const AverageMeans& means);

void drawBarColumns(Canvas& canvas, const LocomotiveState& copy, const AverageMeans& means);

}  // namespace zt40
