#include "indicator_figures.h"

#include <algorithm>
#include <numbers>

#include "text_format.h"

namespace zt40 {

namespace {

constexpr int figuresChars = 46;  // characters of the figures' widest line
constexpr int figuresLineCount = 7;
constexpr int balanceChars = 24;  // characters of the balance's lines
constexpr int balanceLineCount = 8;
constexpr int compactBalanceLineCount = 4;
constexpr int blockGap = 3;       // characters between the blocks

constexpr double secondsPerHour = 3600.0;
constexpr double turnLength = 2.0 * std::numbers::pi * 0.7;  // m, the driving wheel's circumference

// One row of the figures: the label, then side 1, side 2 and both, each
// in a column of eleven characters; a figure that is not defined stays blank.
std::string figureRow(const char* label, const EngineIndication& e, double IndicatedFigures::*figure, double scale,
                      const char* format, bool blankWhenZero = false) {
    std::string row = label;
    for (const IndicatedFigures* f : {&e.side1, &e.side2, &e.engine}) {
        const double value = f->*figure;
        row += blankWhenZero && value == 0.0 ? std::string(11, ' ') : formatText(format, value * scale);
    }
    return row;
}

}  // namespace

std::vector<std::string> indicatedFigureLines(const LocomotiveState& copy) {
    const EngineIndication& e = copy.indication;
    if (e.turnTime <= 0.0) return {};
    const double speed = turnLength / e.turnTime * 3.6;  // km/h the wheels ran in the turn
    return {
        "Indiziert       sichtbar unsichtbar      beide",
        figureRow("Arbeit kJ/U  ", e, &IndicatedFigures::work, 0.001, "%11.1f"),
        figureRow("pmi bar      ", e, &IndicatedFigures::meanEffectivePressure, 1e-5, "%11.2f"),
        figureRow("Leistung kW  ", e, &IndicatedFigures::power, 0.001, "%11.0f"),
        figureRow("Dampf kg/h   ", e, &IndicatedFigures::steamRate, secondsPerHour, "%11.0f"),
        figureRow("Dampf kg/kWh ", e, &IndicatedFigures::steamPerKWh, 1.0, "%11.1f", true),
        formatText("Füllung %0.1f %%  %0.1f km/h  am Rad %0.0f kW", -copy.reverser * 0.5, speed, e.rimPower * 0.001),
    };
}

std::vector<std::string> boilerBalanceLines(const LocomotiveState& copy, bool compact) {
    const BoilerBalance& b = copy.boilerBalance;
    if (compact) {
        const double h = secondsPerHour;
        return {
            formatText("Kessel kg/h: erzeugt %0.0f, verbraucht %0.0f", b.steamMade * h, b.steamUsed * h),
            formatText(" Regler %0.0f, Hilfsbläser %0.0f, Injektor %0.0f,", b.regulatorSteam * h, b.blowerSteam * h,
                       b.injectorSteam * h),
            formatText(" Sicherheitsventil %0.0f", b.safetyValveSteam * h),
            formatText("Kesselwasser %+0.0f kg/h", b.waterTrend * h),
        };
    }
    const auto perHour = [](double rate) { return formatText("%6.0f", rate * secondsPerHour); };
    return {
        "Kesselbilanz        kg/h",
        "Dampf erzeugt     " + perHour(b.steamMade),
        "Dampf verbraucht  " + perHour(b.steamUsed),
        " Regler           " + perHour(b.regulatorSteam),
        " Hilfsbläser      " + perHour(b.blowerSteam),
        " Injektor         " + perHour(b.injectorSteam),
        " Sicherheitsventil" + perHour(b.safetyValveSteam),
        "Kesselwasser      " + formatText("%+6.0f", b.waterTrend * secondsPerHour),
    };
}

FigureBlocks placeFigureBlocks(int left, int right, int top, int floor, TextCell cell) {
    // The places stay the same whether the figures are there or not.
    const int besideFigures = left + cell.across(figuresChars + blockGap);  // px
    FigureBlocks blocks{{left, top}, {besideFigures, top}, false, true};
    if (besideFigures + cell.across(balanceChars) > right) {
        blocks.balance = {left, top + (figuresLineCount + 1) * cell.height};
        blocks.compactBalance = true;
        // Under the figures, where the loops would run through it, it is left out.
        blocks.balanceShown = blocks.balance.y + compactBalanceLineCount * cell.height <= floor;
    }
    return blocks;
}

int figureBlocksBottom(const FigureBlocks& blocks, TextCell cell) {
    const int balanceLines = blocks.compactBalance ? compactBalanceLineCount : balanceLineCount;
    const int figuresBottom = blocks.figures.y + figuresLineCount * cell.height;  // px
    if (!blocks.balanceShown) return figuresBottom;
    return std::max(figuresBottom, blocks.balance.y + balanceLines * cell.height);
}

void drawIndicatorFigures(Canvas& canvas, const LocomotiveState& copy, const FigureBlocks& at, int right) {
    const TextCell cell = canvas.textCell();
    const auto block = [&](PixelPoint corner, const std::vector<std::string>& lines) {
        const int width = std::max(right - corner.x, 0);  // px
        for (std::size_t i = 0; i < lines.size(); ++i) {
            canvas.fittedText(corner.x, corner.y + static_cast<int>(i) * cell.height, lines[i], width, black, white);
        }
    };
    block(at.figures, indicatedFigureLines(copy));
    if (at.balanceShown) block(at.balance, boilerBalanceLines(copy, at.compactBalance));
}

}  // namespace zt40
