#include "window_layout.h"

#include <algorithm>
#include <cmath>

#include "numeric.h"

namespace zt40 {

namespace {

constexpr int smallestWindow = 21;            // px: below it nothing is drawn
constexpr double designWidth = 8000.0;        // mm
constexpr double designHeight = 5851.0;       // mm
constexpr double widestDesign = 1.367;        // width over height where the design fills both sides
constexpr double referenceHeight = 1170.0;    // px: of the window the layout was made for
constexpr double referenceScale = designHeight / referenceHeight;  // mm per px there

// Right of the cab: the texts beside it start here, and the widest view of
// the right-hand panel (the indicator diagram's frame) reaches this far in
// from the window's right edge.
constexpr double cabTextsLeft = 2200.0;       // mm
constexpr double widestPanel = 3200.0;        // mm
constexpr int trackTableWidth = 360;          // px of the 8 x 16 cell
constexpr int statusReserve = 44;             // characters: the longest status line with room to grow
// The cab's foot, 2700 mm down, may come down to 3240 mm and stays above
// the track line of the side view.
constexpr double largestCabZoom = 1.2;

}  // namespace

double designScale(int clientWidth, int clientHeight) {
    if (clientWidth < smallestWindow || clientHeight < smallestWindow) return 0.0;
    return static_cast<double>(clientWidth) / clientHeight < widestDesign ? designWidth / clientWidth
                                                                         : designHeight / clientHeight;
}

TextCell textCellFor(int clientWidth, int clientHeight) {
    const double s = designScale(clientWidth, clientHeight);
    if (!(s > 0.0)) return referenceCell;
    // Whole pixels, rounded down: the texts grow no faster than the drawing.
    const int width = std::max(referenceCell.width, truncateTo<int>(referenceCell.width * referenceScale / s));
    return {width, 2 * width};
}

double cabZoom(int clientWidth, int clientHeight) {
    const double s = designScale(clientWidth, clientHeight);
    if (!(s > 0.0)) return 1.0;
    // The band the design leaves free on a wide window, in whole pixels.
    const double band = std::floor(clientWidth - designWidth / s);  // px
    const double byBand = 1.0 + band * s / cabTextsLeft;
    // The status lines, shifted right with the cab, still clear of the right-hand panel.
    const TextCell cell = textCellFor(clientWidth, clientHeight);
    const double panelLeft = std::min(clientWidth - widestPanel / s, double(clientWidth - cell.scaled(trackTableWidth)));
    const double byTexts = (panelLeft - cell.width - cell.across(statusReserve)) * s / cabTextsLeft;
    return std::max(1.0, std::min({largestCabZoom, byBand, byTexts}));
}

bool layoutAsMade(int clientWidth, int clientHeight) {
    return designScale(clientWidth, clientHeight) == referenceScale &&
           textCellFor(clientWidth, clientHeight) == referenceCell && cabZoom(clientWidth, clientHeight) == 1.0;
}

double cabScale(const LocomotiveState& state) {
    return state.displayScale / cabZoom(state.clientWidth, state.clientHeight);
}

ButtonBarPlace buttonBarPlace(const LocomotiveState& state) {
    return {truncateTo<int>(layout::barLeft / cabScale(state)), textCellFor(state.clientWidth, state.clientHeight)};
}

}  // namespace zt40
