#include "indicator_panel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "bar_columns.h"
#include "cylinders.h"
#include "indicator_figures.h"
#include "indicator_scale.h"
#include "numeric.h"
#include "panel_pixels.h"
#include "sim_speed.h"
#include "text_format.h"
#include "track_table.h"

namespace zt40 {

namespace {

constexpr Rgb red{255, 0, 0};
constexpr Rgb green{0, 255, 0};
constexpr Rgb cyan{0, 255, 255};
constexpr Rgb blue{0, 0, 255};
constexpr Rgb gridGrey{180, 180, 180};

constexpr int cursorRadius = 5;  // px
constexpr int textInset = 2;     // px between a grid line and its label
constexpr int figureGap = 4;     // px between the titles and the figures
constexpr std::array<int, 3> labelledBars = {0, 5, 10};
constexpr const char* strokeAxisName = "Kolbenweg";

int textWidth(const std::string& text, TextCell cell) {
    return cell.across(static_cast<int>(characterCount(text)));
}

struct Layout {
    double s;  // mm per pixel
    int operator()(double mm) const { return truncateTo<int>(mm / s); }
};

// A closed loop: the polyline, then back from its first point to the last
// but one.
void pressureLoop(Canvas& canvas, const std::vector<PixelPoint>& points, Rgb colour) {
    const Pen pen{colour, 1};
    canvas.polyline(points, pen);
    if (points.size() >= 2) canvas.line(points.front(), points[points.size() - 2], pen);
}

void circle(Canvas& canvas, PixelPoint at, Rgb colour) {
    canvas.arc(at.x - cursorRadius, at.y - cursorRadius, at.x + cursorRadius, at.y + cursorRadius, {0, 0}, {0, 0},
               Pen{colour, 1});
}

void frameAndGrid(Canvas& canvas, const LocomotiveState& copy, const Layout& mm) {
    const int n = copy.clientWidth;
    canvas.rectangle(n - mm(3200), 0, n, mm(3000), Pen{}, Brush{});
    const Pen dotted{gridGrey, 1, true};
    const int left = n - mm(indicator::travelStartMm), right = n - mm(indicator::crankZeroMm);
    for (int x : {left, right}) canvas.line({x, mm(100)}, {x, mm(2866)}, dotted);
    for (int y : indicatorGridRows(copy.displayScale)) canvas.line({left, y}, {right, y}, dotted);
}

// The axes on the grid: pressure in bar up the left grid line, the rim
// force in kN (15 to the bar) up the right one, the piston's stroke along
// the foot of the frame; none above the row `freeBelow`, where the figures
// stand, nor where it would cover another text.
void axisLabels(Canvas& canvas, const LocomotiveState& copy, const Layout& mm, int freeBelow) {
    using namespace indicator;
    const TextCell cell = canvas.textCell();
    const int n = copy.clientWidth;
    const int left = n - mm(travelStartMm) + textInset, right = n - mm(crankZeroMm) - textInset;
    const auto label = [&](int x, int y, const std::string& text) {
        if (canvas.texts().isFree(canvas.texts().extentOf(x, y, text))) canvas.text(x, y, text, black, white);
    };
    const auto rows = indicatorGridRows(copy.displayScale);  // from -1 bar up
    for (int bar : labelledBars) {
        const int y = rows[bar + 1] - cell.height / 2;
        if (y < freeBelow) continue;
        label(left, y, formatText(bar == labelledBars.back() ? "%i bar" : "%i", bar));
        const std::string force = formatText("%.0f kN", bar * mmPerBar / mmPerKilonewton);
        label(right - textWidth(force, cell), y, force);
    }
    const int foot = mm(3000) - cell.height - 1;
    const std::string stroke = formatText("%.0f mm", cylinder::stroke * 1000.0);
    label(left, foot, "0");
    label((left + right - textWidth(strokeAxisName, cell)) / 2, foot, strokeAxisName);
    label(right - textWidth(stroke, cell), foot, stroke);
}

// In slow motion or STOP: where the model stands in all three series.
void cursor(Canvas& canvas, const LocomotiveState& copy, const Layout& mm) {
    const int index = copy.indicatorIndex;
    if (index < 0 || index >= indicatorRingSize) return;
    const auto at = [&](IndicatorSeries series) {
        return indicatorPixel(copy.indicatorSamples[index], series, copy.displayScale, copy.clientWidth,
                              copy.clientHeight);
    };
    const PixelPoint g = at(IndicatorSeries::green);
    canvas.line({g.x, mm(indicator::zeroLineMm)}, {g.x, mm(200)}, Pen{blue, 1});
    circle(canvas, g, green);
    circle(canvas, at(IndicatorSeries::red), red);
    circle(canvas, at(IndicatorSeries::cyan), cyan);
}

// Both titles, each on as many lines as the frame's width needs, the second
// below the first; the row below them, px.
int titles(Canvas& canvas, const LocomotiveState& copy, const Layout& mm) {
    const TextCell cell = canvas.textCell();
    const int left = copy.clientWidth - mm(3150);
    const int characters = (copy.clientWidth - cell.width - left) / cell.width;  // up to a cell before the edge
    int y = mm(50);
    const auto title = [&](const std::string& text) {
        for (const std::string& line : wrapText(text, characters)) {
            if (const auto at = canvas.texts().placeFor(left, y, line)) canvas.text(at->left, at->top, line, black, white);
            y += cell.height;
        }
    };
    title(indicatorTitle(copy));
    y = std::max(y, mm(215));
    title(tractiveForceTitle(copy));
    return y;
}

}  // namespace

int rightHandPanelLeft(const LocomotiveState& copy) {
    if (copy.trackTableShown) return trackTableLeft(copy);
    if (copy.indicatorShown || copy.stripShown) return copy.clientWidth - Layout{copy.displayScale}(3200);
    return barColumnsLeft(copy);
}

std::array<int, indicatorGridRowCount> indicatorGridRows(double displayScale) {
    // By index in real arithmetic: a step summed in whole pixels would stop
    // moving once a bar is less than a pixel.
    std::array<int, indicatorGridRowCount> rows{};
    for (int i = 0; i < indicatorGridRowCount; ++i) {
        rows[i] = truncateTo<int>(indicator::gridBottomMm / displayScale - i * (indicator::mmPerBar / displayScale));
    }
    return rows;
}

PixelPoint indicatorPixel(const IndicatorSample& sample, IndicatorSeries series, double displayScale, int clientWidth,
                          int clientHeight) {
    using namespace indicator;
    const double s = displayScale;  // mm per pixel
    const double n = clientWidth;   // px, the right edge
    double x = 0.0, y = 0.0;        // px
    switch (series) {
        case IndicatorSeries::green:
        case IndicatorSeries::red: {
            const double pressure = series == IndicatorSeries::green ? sample.pressureB : sample.pressureA;  // Pa
            x = sample.pistonTravel * mmPerMetreOfTravel / s + n - travelStartMm / s;
            y = zeroLineMm / s - pressure * pascalsToMm / s;
            break;
        }
        case IndicatorSeries::cyan:
            x = n - (sample.crankAngle * mmPerTurn / (2.0 * std::numbers::pi) + crankZeroMm) / s;
            y = zeroLineMm / s - sample.rimForce * newtonsToMm / s;
            break;
    }
    return {keptNearWindow(truncateTo<int>(x), clientWidth), keptNearWindow(truncateTo<int>(y), clientHeight)};
}

std::vector<PixelPoint> indicatorPoints(const LocomotiveState& copy, IndicatorSeries series) {
    const int count = std::clamp(copy.indicatorCount, 0, indicatorRingSize);
    std::vector<PixelPoint> points(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        points[i] = indicatorPixel(copy.indicatorSamples[i], series, copy.displayScale, copy.clientWidth,
                                   copy.clientHeight);
    }
    return points;
}

std::optional<int> meanTractiveForceRow(const LocomotiveState& copy, float powerAverage) {
    if (copy.wheelSpeed == 0.0) return std::nullopt;
    // Power in kW over speed: both sides when the second is shown, else half.
    const double perSide = copy.indicatorSide ? 1000.0 : 500.0;
    double force = powerAverage * perSide / std::fabs(copy.wheelSpeed);  // N
    if (copy.reverser <= 0) force = -force;
    const double s = copy.displayScale;  // mm per pixel
    return guardedPixel(force * indicator::newtonsToMm / s + indicator::zeroLineMm / s, copy.clientHeight);
}

double meanTractiveForceReach(const LocomotiveState& copy) {
    const double reachMm = offWindowReach * std::max(copy.clientHeight, 1) * copy.displayScale;  // above the window's top
    return (indicator::zeroLineMm + reachMm) / indicator::newtonsToMm / 1000.0;  // kN
}

std::string indicatorTitle(const LocomotiveState& copy) {
    const char* side = copy.indicatorSide ? "unsichtbare" : "sichtbare";
    return std::string("Indikatordiagramm ") + side + " Seite " + std::to_string(copy.indicatorCount) + " Punkte";
}

std::string tractiveForceTitle(const LocomotiveState& copy) {
    return copy.indicatorSide ? "Zugkraft am Rad beide Seiten     Wechsel Taste [I]"
                              : "Zugkraft am Rad sichtbare Seite Wechsel Taste [I]";
}

void drawIndicatorDiagram(Canvas& canvas, const LocomotiveState& copy, const AverageMeans& means) {
    const Layout mm{copy.displayScale};
    const int n = copy.clientWidth;
    frameAndGrid(canvas, copy, mm);
    const int titlesBottom = titles(canvas, copy, mm);  // px
    // Figures and labels first: the curves run over them.
    int freeBelow = 0;  // px
    if (!copy.textHidden) {
        const TextCell cell = canvas.textCell();
        const int left = n - mm(3150), right = n - textInset, top = titlesBottom + figureGap;
        // px: the middle bar line, above which a working engine's loops seldom rise
        const int floor = indicatorGridRows(copy.displayScale)[labelledBars[1] + 1];
        const FigureBlocks blocks = placeFigureBlocks(left, right, top, floor, cell);
        drawIndicatorFigures(canvas, copy, blocks, right);
        freeBelow = figureBlocksBottom(blocks, cell);
    }
    axisLabels(canvas, copy, mm, freeBelow);
    if (copy.indicatorCount <= 0) return;

    // Both pressure loops, then the force over the crank angle.
    pressureLoop(canvas, indicatorPoints(copy, IndicatorSeries::red), red);
    pressureLoop(canvas, indicatorPoints(copy, IndicatorSeries::green), green);
    canvas.polyline(indicatorPoints(copy, IndicatorSeries::cyan), Pen{cyan, 1});

    // The mean tractive force the power average gives at this speed.
    if (const auto row = meanTractiveForceRow(copy, means.wheelPower)) {
        canvas.line({n, *row}, {n - mm(3200), *row}, Pen{cyan, 1});
    }
    if (SimSpeed(copy.simSpeedCode).slowMotion()) cursor(canvas, copy, mm);
}

void drawRightHandPanel(Canvas& canvas, const LocomotiveState& copy, const AverageMeans& means) {
    if (copy.trackTableShown) return;
    if (copy.indicatorShown) {
        drawIndicatorDiagram(canvas, copy, means);
    } else {
        drawBarColumns(canvas, copy, means);
    }
}

}  // namespace zt40
