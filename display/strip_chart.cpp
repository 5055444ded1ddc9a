#include "strip_chart.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "numeric.h"
#include "text_format.h"

namespace zt40 {

namespace {

constexpr int scaleCharacters = 5;  // left of the paper for the scale values
constexpr int timeRowHeight = 14;   // px in the 8 x 16 cell
constexpr int bandGap = 3;          // px
constexpr Rgb grid{190, 190, 190};
constexpr Rgb lowWaterRed{255, 0, 0};
constexpr double minute = 60.0;  // s

std::string decimalComma(double value, int decimals) {
    std::string text = decimals <= 0   ? formatText("%.0f", value)
                       : decimals == 1 ? formatText("%.1f", value)
                                       : formatText("%.2f", value);
    if (const auto point = text.find('.'); point != std::string::npos) text[point] = ',';
    return text;
}

// The kilometre grid's step: the first that leaves room for its label.
double pathGridStep(double metresPerPixel, TextCell cell) {
    for (double step : {100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0, 10000.0, 20000.0, 50000.0, 100000.0}) {
        if (step / metresPerPixel >= cell.across(9)) return step;
    }
    return 200000.0;
}

void drawBand(Canvas& canvas, const StripLayout& layout, const StripLayout::Band& band) {
    canvas.rectangle(layout.plotLeft, band.top, layout.plotRight + 1, band.bottom + 1, Pen{grid, 1},
                     Brush{white, Fill::none});
    const StripTrace trace = static_cast<StripTrace>(&band - &layout.band(StripTrace::speed));
    // Grid lines with their values on the scale, each beside its line and
    // within the band; where the band is too narrow for all, its ends
    // first and the others only where they leave every text clear.
    const int lines = static_cast<int>(std::lround((band.high - band.low) / band.gridStep)) + 1;
    const int textHeight = layout.cell.height;  // px
    const bool allValues = band.bottom - band.top >= lines * textHeight;
    std::vector<std::pair<double, bool>> labels;  // value, at an end
    for (double value = band.low; value <= band.high + 1e-9; value += band.gridStep) {
        const int row = layout.y(trace, value);
        const bool top = value >= band.high - 1e-9, end = value == band.low || top;
        if (!end) canvas.line({layout.plotLeft, row}, {layout.plotRight, row}, Pen{grid, 1, true});
        if (allValues || (end && band.bottom - band.top >= 2 * textHeight) || top) labels.emplace_back(value, end);
    }
    std::stable_partition(labels.begin(), labels.end(), [](const auto& label) { return label.second; });
    std::reverse(labels.begin(), labels.begin() + std::count_if(labels.begin(), labels.end(), [](const auto& label) {
                     return label.second;
                 }));  // the top value before the bottom one
    for (const auto& [value, end] : labels) {
        const int row = layout.y(trace, value);
        const int labelY = std::clamp(row - textHeight / 2, band.top, std::max(band.top, band.bottom - textHeight));
        const std::string text = decimalComma(value, 0);
        if (canvas.texts().isFree(canvas.texts().extentOf(layout.box.left + 2, labelY, text))) {
            canvas.text(layout.box.left + 2, labelY, text, black, white);
        }
    }
    canvas.text(layout.plotLeft + 4, band.top + 1, band.name, band.colour, white);
}

void drawPathGrid(Canvas& canvas, const StripLayout& layout) {
    const double metresPerPixel = (layout.pathTo - layout.pathFrom) / std::max(layout.plotRight - layout.plotLeft, 1);
    const double step = pathGridStep(metresPerPixel, layout.cell);
    const int top = layout.band(StripTrace::speed).top;
    const int bottom = layout.band(StripTrace::regulator).bottom;
    const int decimals = step < 1000.0 ? 1 : 0;
    for (double path = std::ceil(layout.pathFrom / step) * step; path <= layout.pathTo; path += step) {
        const int column = layout.x(path);
        canvas.line({column, top}, {column, bottom}, Pen{grid, 1, true});
        canvas.text(column - layout.cell.across(2), layout.axisY, decimalComma(path / 1000.0, decimals), black, white);
    }
    canvas.text(layout.box.left + 2, layout.axisY, "km", black, white);
}

// The clock's minutes, marked where the paper stood when each began: a
// short mark each minute, a long one each tenth with its number.
void drawMinuteMarks(Canvas& canvas, const StripLayout& layout, const std::vector<StripSample>& samples) {
    canvas.line({layout.plotLeft, layout.timeBottom}, {layout.plotRight, layout.timeBottom}, Pen{black, 1});
    canvas.text(layout.box.left + 2, layout.timeTop - 1, "min", black, white);
    int lastLabelRight = layout.plotLeft;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        const StripSample& a = samples[i - 1];
        const StripSample& b = samples[i];
        for (double mark = std::floor(a.time / minute) + 1.0; mark * minute <= b.time; mark += 1.0) {
            const double share = b.time > a.time ? (mark * minute - a.time) / (b.time - a.time) : 1.0;
            const int column = layout.x(a.path + share * (b.path - a.path));
            const bool tenth = std::fmod(mark, 10.0) == 0.0;
            const int length = tenth ? layout.timeBottom - layout.timeTop : (layout.timeBottom - layout.timeTop) / 2;
            canvas.line({column, layout.timeBottom}, {column, layout.timeBottom - length}, Pen{black, 1});
            const TextCell cell = layout.cell;
            if (tenth && column > lastLabelRight + cell.width && column + cell.across(4) < layout.plotRight) {
                const std::string label = decimalComma(mark, 0);
                canvas.text(column + 2, layout.timeTop - 1, label, black, white);
                lastLabelRight = column + 2 + cell.across(static_cast<int>(label.size()));
            }
        }
    }
}

float valueOf(const StripSample& sample, StripTrace trace) {
    switch (trace) {
        case StripTrace::speed: return sample.speed;
        case StripTrace::boilerPressure: return sample.boilerPressure;
        case StripTrace::waterLevel: return sample.waterLevel;
        case StripTrace::cutoff: return sample.cutoff;
        default: return sample.regulator;
    }
}

StripSample between(const StripSample& a, const StripSample& b, double path) {
    const double share = b.path > a.path ? (path - a.path) / (b.path - a.path) : 0.0;
    const auto blend = [share](float x, float y) { return static_cast<float>(x + share * (y - x)); };
    return {path,
            a.time + share * (b.time - a.time),
            blend(a.speed, b.speed),
            blend(a.boilerPressure, b.boilerPressure),
            blend(a.waterLevel, b.waterLevel),
            blend(a.cutoff, b.cutoff),
            blend(a.regulator, b.regulator)};
}

// The samples on the paper shown; where the traces cross its edges, a
// sample made there.
std::vector<StripSample> visibleSamples(const std::vector<StripSample>& samples, double from, double to) {
    std::vector<StripSample> shown;
    auto it = std::lower_bound(samples.begin(), samples.end(), from,
                               [](const StripSample& s, double path) { return s.path < path; });
    if (it != samples.begin() && it != samples.end()) shown.push_back(between(*(it - 1), *it, from));
    for (; it != samples.end() && it->path <= to; ++it) shown.push_back(*it);
    if (it != samples.end() && it != samples.begin()) shown.push_back(between(*(it - 1), *it, to));
    return shown;
}

// One trace as the pen draws it: in each pixel column from where it came
// in over its lowest and highest rows to where it leaves, so that a long
// strip keeps every swing without a point per sample.
void drawTrace(Canvas& canvas, const StripLayout& layout, const std::vector<StripSample>& samples,
               StripTrace trace) {
    std::vector<PixelPoint> points;
    const auto add = [&](PixelPoint p) {
        if (points.empty() || points.back().x != p.x || points.back().y != p.y) points.push_back(p);
    };
    struct Column {
        int x, entry, top, bottom, exit;
    };
    std::optional<Column> column;
    const auto close = [&] {
        add({column->x, column->entry});
        const bool falling = column->exit > column->entry;  // rows grow downward
        add({column->x, falling ? column->top : column->bottom});
        add({column->x, falling ? column->bottom : column->top});
        add({column->x, column->exit});
    };
    for (const StripSample& sample : samples) {
        const int x = layout.x(sample.path);
        const int y = layout.y(trace, valueOf(sample, trace));
        if (column && column->x == x) {
            column->top = std::min(column->top, y);
            column->bottom = std::max(column->bottom, y);
            column->exit = y;
            continue;
        }
        if (column) close();
        column = Column{x, y, y, y, y};
    }
    if (column) close();
    if (points.size() == 1) points.push_back({points[0].x + 1, points[0].y});
    const StripLayout::Band& band = layout.band(trace);
    if (points.size() >= 2) canvas.polyline(points, Pen{band.colour, trace == StripTrace::speed ? 2 : 1});
}

}  // namespace

StripLayout::StripLayout(StripBox box, double from, double to, TextCell cell)
    : box(box), cell(cell), pathFrom(from), pathTo(to > from ? to : from + 1.0) {
    const int textHeight = cell.height;  // px a text line takes
    plotLeft = box.left + cell.across(scaleCharacters);
    plotRight = box.left + box.width - cell.width;
    titleY = box.top + 2;
    axisY = box.top + box.height - textHeight - 1;
    // The speed takes two fifths of the paper, the minute marks a row
    // below it, the other four traces a band each.
    const int paperTop = titleY + textHeight + 2;
    const int paperBottom = axisY - 2;
    const int timeRow = cell.scaled(timeRowHeight);  // px
    const int available = std::max(paperBottom - paperTop - timeRow - 5 * bandGap, 5 * 10);
    const int speedHeight = available * 2 / 5;
    const int otherHeight = (available - speedHeight) / 4;
    bands_[0] = {paperTop, paperTop + speedHeight, 0.0, 120.0, 20.0, "Geschwindigkeit km/h", {20, 20, 140}};
    timeTop = bands_[0].bottom + bandGap;
    timeBottom = timeTop + timeRow;
    int top = timeBottom + bandGap;
    const Band others[] = {{0, 0, 0.0, 16.0, 4.0, "Kesseldruck bar", {220, 0, 0}},
                           {0, 0, -200.0, 300.0, 100.0, "Wasserstand mm über Niedrigwasser", {0, 130, 255}},
                           {0, 0, -80.0, 80.0, 40.0, "Füllung % (vorwärts +)", {0, 150, 0}},
                           {0, 0, 0.0, 100.0, 50.0, "Regler % Hauptventil", {170, 0, 170}}};
    for (int i = 0; i < 4; ++i) {
        bands_[i + 1] = others[i];
        bands_[i + 1].top = top;
        bands_[i + 1].bottom = top + otherHeight;
        top += otherHeight + bandGap;
    }
}

int StripLayout::x(double path) const {
    const double share = (path - pathFrom) / (pathTo - pathFrom);
    return plotLeft + truncateTo<int>(share * (plotRight - plotLeft));
}

int StripLayout::y(StripTrace trace, double value) const {
    const Band& b = band(trace);
    const double share = std::clamp((value - b.low) / (b.high - b.low), 0.0, 1.0);  // NaN stays NaN: no row
    return b.bottom - truncateTo<int>(share * (b.bottom - b.top));
}

void drawStrip(Canvas& canvas, const StripLog& log, StripBox box, double pathFrom, double pathTo) {
    const StripLayout layout(box, pathFrom, pathTo, canvas.textCell());
    canvas.rectangle(box.left, box.top, box.left + box.width, box.top + box.height, Pen{black, 1}, Brush{});
    // The title narrowed where the panel is narrower than it.
    std::string title = "Registrierstreifen  Weg ";
    title += decimalComma(log.path() / 1000.0, 2);
    title += " km  Zeit ";
    title += decimalComma(std::floor(log.time() / minute), 0);
    title += " min";
    canvas.fittedText(layout.plotLeft, layout.titleY, title, box.left + box.width - 1 - layout.plotLeft, black, white);
    for (int i = 0; i < stripTraceCount; ++i) drawBand(canvas, layout, layout.band(static_cast<StripTrace>(i)));
    const int lowWater = layout.y(StripTrace::waterLevel, 0.0);
    canvas.line({layout.plotLeft, lowWater}, {layout.plotRight, lowWater}, Pen{lowWaterRed, 1});
    drawPathGrid(canvas, layout);

    const std::vector<StripSample> shown = visibleSamples(log.samples(), layout.pathFrom, layout.pathTo);
    drawMinuteMarks(canvas, layout, shown);
    for (int i = stripTraceCount - 1; i >= 0; --i) drawTrace(canvas, layout, shown, static_cast<StripTrace>(i));
}

StripBox stripPanelBox(const LocomotiveState& copy) {
    const double s = copy.displayScale;
    const int width = truncateTo<int>(3200.0 / s);
    return {copy.clientWidth - width, 0, width, truncateTo<int>(3000.0 / s)};
}

void drawStripPanel(Canvas& canvas, const LocomotiveState& copy, const StripLog& log) {
    const double end = std::max(log.path(), stripPanelLength);
    drawStrip(canvas, log, stripPanelBox(copy), end - stripPanelLength, end);
}

}  // namespace zt40
