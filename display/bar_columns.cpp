#include "bar_columns.h"

#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

#include "numeric.h"
#include "panel_pixels.h"

namespace zt40 {

namespace {

constexpr Rgb red{255, 0, 0};
constexpr Rgb cyan{0, 255, 255};
constexpr Rgb labelShade{50, 50, 50};
constexpr int markWidth = 3;          // px
constexpr int secondUnitLine = 13;    // px of the 8 x 16 cell below the unit
constexpr double columnFootMm = 2500.0;

// One column; every length in mm leftward from the right edge of the window.
struct BarColumn {
    double left, right;
    const char* topLabel;
    const char* unit;
    double base, factor;     // a value v lies at (base - v * factor) mm
    int tickStep, tickFloor;  // mm: ticks from 2400 down while above the floor
    int longEvery;            // every n-th tick is long
    double longTo, shortTo;
    double redLeft, cyanLeft;
};

constexpr BarColumn columns[] = {
    {300, 0, "5", "kg/s", 2400, 440, 220, 0, 2, 100, 200, 220, 170},
    {700, 400, "2000", "kW", 2400, 1.1, 110, 100, 5, 500, 600, 620, 570},
    {1100, 800, "100", "%", 2400, 22, 220, 100, 5, 900, 1000, 1020, 970},
    {1500, 1200, "1000", "l/km", 2400, 2.2, 220, 100, 5, 1300, 1400, 1420, 1370},
    {1900, 1600, "+1", "m/s\xc2\xb2", 1300, 1100, 110, 100, 5, 1700, 1800, 1820, 1770},
};
constexpr int columnCount = 5;

struct Layout {
    double s;  // mm per pixel
    int operator()(double mm) const { return truncateTo<int>(mm / s); }
};

void drawColumn(Canvas& canvas, const LocomotiveState& copy, const Layout& mm, int index) {
    const BarColumn& c = columns[index];
    const int n = copy.clientWidth;
    const int left = n - mm(c.left);
    // Column 1 turns grey while the fire falls short of what is asked.
    const bool shortfall = index == 0 && copy.fireShortfall >= 1;
    const auto v = static_cast<std::uint8_t>(copy.fireShortfall);
    canvas.rectangle(left, 0, n - mm(c.right), mm(columnFootMm), Pen{},
                     shortfall ? Brush{Rgb{v, v, v}, Fill::solid} : Brush{});
    int tick = 0;
    for (int z = 2400; z > c.tickFloor; z -= c.tickStep, ++tick) {
        const int end = n - mm(tick % c.longEvery == 0 ? c.longTo : c.shortTo);
        canvas.line({left, mm(z)}, {end, mm(z)}, Pen{});
    }
    // The scale's ends and the unit under the column, in the window where
    // they cover no other text; the firing column's two units a line lower
    // where they would.
    const auto label = [&](int x, int y, const char* text, Rgb background = white) {
        if (const auto at = canvas.texts().placeFor(x, y, text)) canvas.text(at->left, at->top, text, black, background);
    };
    label(n - mm(c.left - 10), mm(10), c.topLabel, shortfall ? labelShade : white);
    if (index == 2) {
        const TextCell cell = canvas.textCell();
        const int pitch = cell.scaled(secondUnitLine);
        const std::vector<std::string_view> units{c.unit, "kg/m\xc2\xb2h"};
        const TextLayer& texts = canvas.texts();
        const TextExtent wanted = texts.extentOf(left, mm(columnFootMm), units[1]);
        if (const auto at = texts.placeFor({wanted.left, wanted.top, wanted.right, wanted.bottom + pitch}, 1)) {
            canvas.textLines(at->left, at->top, units, pitch, black, white);
        }
    } else {
        label(left, mm(columnFootMm), c.unit);
    }
    if (index == 4) label(n - mm(c.left - 10), mm(2350), "-1");
}

}  // namespace

int barColumnsShown(const LocomotiveState& copy) { return copy.textHidden ? 2 : columnCount; }

int barColumnsLeft(const LocomotiveState& copy) {
    const Layout mm{copy.displayScale};
    return copy.clientWidth - mm(columns[barColumnsShown(copy) - 1].left);
}

std::vector<BarMark> barMarks(const LocomotiveState& copy, const AverageMeans& means) {
    const Layout mm{copy.displayScale};
    const int n = copy.clientWidth;
    std::vector<BarMark> marks;
    enum Kind { redMark, cyanMark };  // column 1's cyan mark is the water carried out, not an average
    const auto mark = [&](int column, Kind kind, double value) {
        const BarColumn& c = columns[column - 1];
        const auto y = guardedPixel((c.base - value * c.factor) / copy.displayScale, copy.clientHeight);
        if (!y) return;  // nothing to show for a value that is not finite
        const double left = kind == redMark ? c.redLeft : c.cyanLeft;  // mm
        marks.push_back({column, kind == redMark ? red : cyan, *y, n - mm(left), column == 1 ? n : n - mm(c.right)});
    };

    // The current values; columns 3 to 5 and all averages only with the texts.
    const double blastPipeMass = copy.blowerSteamFlow + (copy.blastPipeClosed ? 0.0 : copy.blastPipeFlow);  // kg/s
    mark(1, redMark, blastPipeMass);
    mark(2, redMark, std::fabs(copy.wheelPower));
    if (copy.textHidden) return marks;
    mark(3, redMark, copy.fireRate);
    if (copy.wheelSpeed != 0.0) mark(4, redMark, copy.waterPerKm);
    mark(5, redMark, copy.acceleration);

    mark(1, cyanMark, copy.blastPipeAuxFlow);
    mark(2, cyanMark, std::fabs(means.wheelPower));
    mark(3, cyanMark, means.heatingSurfaceLoad);
    mark(4, cyanMark, means.waterPerKm);
    mark(5, cyanMark, means.acceleration);
    return marks;
}

void drawBarColumns(Canvas& canvas, const LocomotiveState& copy, const AverageMeans& means) {
    const Layout mm{copy.displayScale};
    const int shown = barColumnsShown(copy);
    for (int i = 0; i < shown; ++i) drawColumn(canvas, copy, mm, i);
    for (const BarMark& m : barMarks(copy, means)) {
        canvas.line({m.right, m.y}, {m.left, m.y}, Pen{m.colour, markWidth});
    }
}

}  // namespace zt40
