// The speed recorder's strip of an example run, drawn offscreen and probed
// by pixel where the runner's CSV puts the speed and the further traces,
// at two sizes; the right-hand panel's strip that Alt brings up; the same
// strip written as SVG.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <fstream>
#include <sstream>

#include "cab_controls.h"
#include "frame_picture.h"
#include "qt_canvas.h"
#include "scenario.h"
#include "strip_chart.h"
#include "svg_canvas.h"

namespace zt40 {
namespace {

std::string contentsOf(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

QImage drawn(int width, int height, const std::function<void(Canvas&)>& draw) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QtCanvas canvas(painter);
    draw(canvas);
    return image;
}

// Whether a pixel of `colour` lies within `reach` pixels of (x, y).
bool near(const QImage& image, int x, int y, Rgb colour, int reach = 2) {
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            const QPoint p(x + dx, y + dy);
            if (image.rect().contains(p) && image.pixel(p) == qRgb(colour.r, colour.g, colour.b)) return true;
        }
    }
    return false;
}

// The example run with its CSV, and the strip the recorder took of it.
struct ExampleRun {
    StripLog strip;
    std::vector<std::vector<double>> rows;  // by the example's print line
    std::vector<std::string> columns;
};

ExampleRun runExample(const char* name) {
    ExampleRun run;
    ScenarioError error{};
    const auto scenario = parseScenario(contentsOf(std::string(ZT40_EXAMPLES) + "/" + name), error);
    EXPECT_TRUE(scenario);
    std::ostringstream csv;
    EXPECT_EQ(runScenario(*scenario, csv, nullptr, {}, [&](const LocomotiveState& s) { run.strip.take(s); }), "");
    std::istringstream lines(csv.str());
    std::string line;
    std::getline(lines, line);
    for (std::istringstream header(line); std::getline(header, line, ',');) run.columns.push_back(line);
    while (std::getline(lines, line)) {
        std::vector<double> row;
        for (std::istringstream cells(line); std::getline(cells, line, ',');) row.push_back(std::stod(line));
        run.rows.push_back(row);
    }
    return run;
}

TEST(Strip, TheTracesOfAnExampleRunLieWhereItsCsvPutsThemAtTwoSizes) {
    const ExampleRun run = runExample("run_up_level.scn");
    const auto column = [&](const char* name) {
        return static_cast<std::size_t>(std::find(run.columns.begin(), run.columns.end(), name) - run.columns.begin());
    };
    const std::size_t distance = column("distance"), speed = column("trainSpeed"),
                      pressure = column("boilerSteam.pressure"), reverser = column("reverser"),
                      regulator = column("regulator");
    ASSERT_LT(regulator, run.columns.size());
    EXPECT_GT(run.strip.path(), 1000.0);
    for (const auto& [width, height] : {std::pair{1200, 600}, std::pair{2600, 1000}}) {
        const StripBox box{0, 0, width, height};
        const double length = run.strip.path();
        const QImage image = drawn(width, height, [&](Canvas& c) { drawStrip(c, run.strip, box, 0.0, length); });
        const StripLayout layout(box, 0.0, length);
        int probed = 0;
        for (const std::vector<double>& row : run.rows) {
            if (row[distance] < 5.0) continue;  // the start, where the traces rise from the edge
            const int x = layout.x(row[distance]);
            const struct {
                StripTrace trace;
                double value;
            } traces[] = {{StripTrace::speed, row[speed] * 3.6},
                          {StripTrace::boilerPressure, row[pressure] / 100000.0},
                          {StripTrace::cutoff, -row[reverser] * 0.5},
                          {StripTrace::regulator, row[regulator]}};
            for (const auto& trace : traces) {
                EXPECT_TRUE(near(image, x, layout.y(trace.trace, trace.value), layout.band(trace.trace).colour))
                    << width << " px, " << row[distance] << " m, trace " << static_cast<int>(trace.trace);
            }
            ++probed;
        }
        EXPECT_GT(probed, 30);
        // And none where the speed is not: under the trace at the last row.
        const std::vector<double>& last = run.rows.back();
        EXPECT_FALSE(near(image, layout.x(last[distance]), layout.y(StripTrace::speed, last[speed] * 3.6 - 20.0),
                          layout.band(StripTrace::speed).colour));
    }
}

TEST(Strip, AltBringsTheStripIntoTheRightHandPanelWhichShowsTheLastKilometres) {
    const ExampleRun run = runExample("run_up_level.scn");
    auto view = std::make_unique<FrameView>();
    LocomotiveState& copy = view->record;
    copy.clientWidth = 1600, copy.clientHeight = 1170, copy.displayScale = 5.0;
    // Text with the bar columns; with the indicator; with the strip; and
    // back, each with and without the texts.
    bool seen[3][2] = {};
    for (int press = 0; press < 6; ++press) {
        cab::cycleDisplay(copy);
        seen[copy.indicatorShown ? 1 : copy.stripShown ? 2 : 0][copy.textHidden] = true;
        EXPECT_FALSE(copy.indicatorShown && copy.stripShown);
    }
    for (const auto& panel : seen) EXPECT_TRUE(panel[0] && panel[1]);
    EXPECT_FALSE(copy.textHidden || copy.indicatorShown || copy.stripShown);
    cab::cycleDisplay(copy), cab::cycleDisplay(copy), cab::cycleDisplay(copy), cab::cycleDisplay(copy);
    ASSERT_TRUE(copy.stripShown);

    DisplayMemory memory;
    memory.strip = run.strip;
    const QImage image = drawn(1600, 1170, [&](Canvas& c) { drawFramePicture(c, *view, memory, AverageMeans{}); });
    const StripBox box = stripPanelBox(copy);
    EXPECT_EQ(box.left, 1600 - 640);
    const StripLayout layout(box, run.strip.path() - stripPanelLength, run.strip.path());
    // The speed where the paper stands now, at the panel's right end.
    const StripSample& now = run.strip.samples().back();
    EXPECT_TRUE(near(image, layout.x(now.path), layout.y(StripTrace::speed, now.speed), layout.band(StripTrace::speed).colour));
    // The start lies more than the panel's length back: its rise is not shown.
    EXPECT_GT(run.strip.path(), stripPanelLength);
    EXPECT_FALSE(near(image, layout.plotLeft + 2, layout.y(StripTrace::speed, 1.0), layout.band(StripTrace::speed).colour));
}

TEST(Strip, AsSvgTheSameStripHasItsTracesAndGermanLabels) {
    const ExampleRun run = runExample("run_up_level.scn");
    SvgCanvas canvas(1200, 600);
    drawStrip(canvas, run.strip, {0, 0, 1200, 600}, 0.0, run.strip.path());
    const std::string svg = canvas.document();
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    for (const char* text : {"Registrierstreifen", "Geschwindigkeit km/h", "Kesseldruck bar", "Füllung % (vorwärts +)",
                             "stroke=\"#14148c\"", "</svg>"}) {
        EXPECT_NE(svg.find(text), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace zt40
