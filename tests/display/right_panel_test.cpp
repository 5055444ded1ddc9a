// The right-hand panel drawn offscreen and probed by pixel: the indicator
// diagram over sample rings laid out by hand, and the bar columns.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>

#include "bar_columns.h"
#include "indicator_panel.h"
#include "indicator_scale.h"
#include "panel_pixels.h"
#include "qt_canvas.h"

namespace zt40 {
namespace {

constexpr double scale = 2.0;  // mm per pixel
constexpr int width = 1800, height = 1600;
const QRgb redPixel = qRgb(255, 0, 0), greenPixel = qRgb(0, 255, 0), cyanPixel = qRgb(0, 255, 255),
           bluePixel = qRgb(0, 0, 255), gridPixel = qRgb(180, 180, 180);

int px(double mm) { return static_cast<int>(mm / scale); }

// Pixels of one colour inside [x0, x1) x [y0, y1).
int countOf(const QImage& image, QRgb colour, int x0 = 0, int y0 = 0, int x1 = width, int y1 = height) {
    int count = 0;
    for (int y = std::max(y0, 0); y < std::min(y1, image.height()); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = std::max(x0, 0); x < std::min(x1, image.width()); ++x) count += row[x] == colour;
    }
    return count;
}

class RightPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        copy = std::make_unique<LocomotiveState>();
        copy->displayScale = scale;
        copy->clientWidth = width;
        copy->clientHeight = height;
        copy->indicatorShown = true;
        copy->reverser = -60;
        // A stale ring: every point in the middle of the diagram.
        for (int i = 0; i < indicatorRingSize; ++i) {
            for (auto series : {IndicatorSeries::green, IndicatorSeries::red, IndicatorSeries::cyan}) {
                place(series, i, {width - 800, 700});
            }
        }
    }
    QImage draw() {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QtCanvas canvas(painter);
        canvas.startTexts(referenceCell, width, height);
        drawRightHandPanel(canvas, *copy, means);
        return image;
    }
    // Puts a sample where it falls on pixel `p` of `series`, at the pixel's
    // middle; the two pressure loops share their travel.
    void place(IndicatorSeries series, int index, PixelPoint p) {
        using namespace indicator;
        IndicatorSample& sample = copy->indicatorSamples[index];
        const double x = p.x + 0.5, y = p.y + 0.5;  // px
        if (series == IndicatorSeries::cyan) {
            sample.crankAngle = ((width - x) * scale - crankZeroMm) * 2.0 * std::numbers::pi / mmPerTurn;
            sample.rimForce = (zeroLineMm - y * scale) / newtonsToMm;
        } else {
            sample.pistonTravel = ((x - width) * scale + travelStartMm) / mmPerMetreOfTravel;
            (series == IndicatorSeries::green ? sample.pressureB : sample.pressureA) =
                (zeroLineMm - y * scale) / pascalsToMm;
        }
        const PixelPoint at = indicatorPixel(sample, series, scale, width, height);
        ASSERT_EQ(at.x, p.x);
        ASSERT_EQ(at.y, p.y);
    }

    std::unique_ptr<LocomotiveState> copy;
    AverageMeans means;
    const int n = width;
};

TEST_F(RightPanelTest, WithoutPointsOnlyFrameGridAndTitles) {
    copy->indicatorCount = 0;
    copy->wheelSpeed = 5.0;
    means.wheelPower = 400.0f;
    copy->simSpeedCode = -1;
    const QImage image = draw();
    EXPECT_EQ(image.pixel(n - px(3200), px(1500)), qRgb(0, 0, 0));  // the frame's left edge
    EXPECT_GT(countOf(image, gridPixel), 1000);
    EXPECT_GT(countOf(image, qRgb(0, 0, 0), n - px(3150), px(50), n - px(1500), px(215) + 12), 50);  // title text
    for (QRgb colour : {redPixel, greenPixel, cyanPixel, bluePixel}) EXPECT_EQ(countOf(image, colour), 0);
}

// 2 mm a pixel, 1800 pixels wide: the loops start 1550 pixels left of the
// right edge and gain 2272.7 pixels a metre of travel, a bar is 83.3
// pixels and a kilonewton 5.6 above the zero line at row 1350; half a turn
// of the crank lies 800 pixels left of the edge.
TEST_F(RightPanelTest, SamplesFallWhereTheDiagramsScalesPutThem) {
    const IndicatorSample sample{0.3, 500000.0, 200000.0, std::numbers::pi, 45000.0};
    const auto at = [&](IndicatorSeries series) { return indicatorPixel(sample, series, scale, width, height); };
    EXPECT_EQ(at(IndicatorSeries::green).x, 931);  // 0.3 m of travel
    EXPECT_EQ(at(IndicatorSeries::red).x, 931);
    EXPECT_EQ(at(IndicatorSeries::green).y, 933);  // 5 bar in space B
    EXPECT_EQ(at(IndicatorSeries::red).y, 1183);   // 2 bar in space A
    EXPECT_EQ(at(IndicatorSeries::cyan).x, 1000);  // half a turn
    EXPECT_EQ(at(IndicatorSeries::cyan).y, 1100);  // 45 kN
    IndicatorSample braking = sample;
    braking.rimForce = -45000.0;  // N, turned over: below the line
    EXPECT_EQ(indicatorPixel(braking, IndicatorSeries::cyan, scale, width, height).y, 1599);
}

TEST_F(RightPanelTest, LoopsCloseToTheLastPointButOneAndOnlyFromTwoPoints) {
    // Red: a step right, down, right; the closing line goes back from the
    // third point, not the fourth.
    const PixelPoint a{n - 1400, 600}, b{n - 1200, 600}, c{n - 1200, 800}, d{n - 1000, 800};
    for (auto [i, p] : {std::pair{0, a}, {1, b}, {2, c}, {3, d}}) {
        place(IndicatorSeries::red, i, p);
        place(IndicatorSeries::green, i, {p.x, 1000});  // the same travel, out of the way below
    }
    copy->indicatorCount = 1;
    QImage image = draw();
    EXPECT_EQ(countOf(image, redPixel), 0);

    copy->indicatorCount = 4;
    image = draw();
    EXPECT_EQ(image.pixel(n - 1300, 700), redPixel);   // on a-c
    EXPECT_NE(image.pixel(n - 1100, 700), redPixel);   // a-d is not drawn
    EXPECT_EQ(image.pixel(n - 1100, 800), redPixel);   // c-d
}

TEST_F(RightPanelTest, MeanForceLineOnlyWhileTheWheelsTurnAndNeverFarOffTheWindow) {
    copy->indicatorCount = 10;
    means.wheelPower = 500.0f;  // kW
    copy->wheelSpeed = 0.0;
    EXPECT_FALSE(meanTractiveForceRow(*copy, means.wheelPower));
    EXPECT_EQ(countOf(draw(), cyanPixel, n - px(3100), 0, n - px(100), px(3000)), 0);

    // 500 kW at 5 m/s, shown side: 50 kN, 555.6 mm above the zero line.
    copy->wheelSpeed = 5.0;
    const int row = px(2700.0 - 50000.0 * 0.0111111);
    EXPECT_EQ(meanTractiveForceRow(*copy, means.wheelPower), row);
    const QImage image = draw();
    EXPECT_EQ(image.pixel(n - px(2000), row), cyanPixel);
    EXPECT_EQ(image.pixel(n - px(3190), row), cyanPixel);

    // Creep speed: the force runs to thousands of meganewtons.
    copy->wheelSpeed = 1e-12;
    const auto far = meanTractiveForceRow(*copy, means.wheelPower);
    ASSERT_TRUE(far);
    EXPECT_GE(*far, -offWindowReach * height);
    EXPECT_EQ(countOf(draw(), cyanPixel, n - px(3100), 0, n - px(100), px(3000)), 0);
    EXPECT_FALSE(meanTractiveForceRow(*copy, std::numeric_limits<float>::infinity()));
}

TEST_F(RightPanelTest, SlowMotionShowsTheCursorAtTheLastSample) {
    copy->indicatorCount = 10;
    copy->indicatorIndex = 5;
    place(IndicatorSeries::green, 5, {n - 900, 1000});
    copy->simSpeedCode = 0;
    EXPECT_EQ(countOf(draw(), bluePixel), 0);
    copy->simSpeedCode = -4;
    const QImage image = draw();
    EXPECT_EQ(image.pixel(n - 900, px(1000)), bluePixel);
    EXPECT_EQ(image.pixel(n - 900, 1000 - 5), greenPixel);  // the circle's top
}

// Text in the box, as a count of its dark grey and black pixels.
int textIn(const QImage& image, int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const QRgb p = image.pixel(x, y);
            count += std::max({qRed(p), qGreen(p), qBlue(p)}) < 128;
        }
    }
    return count;
}

TEST_F(RightPanelTest, AxesAreLabelledAndTheFiguresStandUnderTheCurvesWhileTheTextsShow) {
    const int left = n - px(3100), right = n - px(100);      // the grid's lines
    const int zero = px(2700), fiveBar = px(2700 - 5 * 166.66666);
    const int figuresTop = px(215) + 20, figuresLeft = n - px(3150);
    // Axes: bar up the left, kN up the right, the stroke along the foot.
    QImage image = draw();
    EXPECT_GT(textIn(image, left, fiveBar - 8, left + 16, fiveBar + 8), 10);     // "5"
    EXPECT_GT(textIn(image, right - 48, fiveBar - 8, right, fiveBar + 8), 20);   // "75 kN"
    EXPECT_GT(textIn(image, left, px(3000) - 17, left + 8, px(3000)), 5);       // "0" of the stroke
    EXPECT_GT(textIn(image, right - 48, px(3000) - 17, right, px(3000)), 20);   // "660 mm"
    // No figures at a standstill: only the boiler's balance, beside where they would be.
    EXPECT_EQ(textIn(image, figuresLeft, figuresTop, figuresLeft + 46 * 8, figuresTop + 7 * 16), 0);
    EXPECT_GT(textIn(image, figuresLeft + 49 * 8, figuresTop, n - 2, figuresTop + 8 * 16), 200);

    // Running: the figures, and a loop drawn over them.
    copy->indication.turnTime = 0.4;  // s
    copy->indication.engine.power = 971000.0;  // W
    copy->indicatorCount = 2;
    place(IndicatorSeries::green, 0, {figuresLeft + 100, figuresTop + 3});
    place(IndicatorSeries::green, 1, {figuresLeft + 100, zero});
    image = draw();
    EXPECT_GT(textIn(image, figuresLeft, figuresTop, figuresLeft + 46 * 8, figuresTop + 7 * 16), 500);
    EXPECT_EQ(image.pixel(figuresLeft + 100, figuresTop + 8), greenPixel);

    // The texts hidden: the diagram and its axes alone.
    copy->textHidden = true;
    image = draw();
    EXPECT_EQ(textIn(image, figuresLeft, figuresTop, n - 2, figuresTop + 8 * 16), 0);  // inside the frame's edge
    EXPECT_GT(textIn(image, left, fiveBar - 8, left + 16, fiveBar + 8), 10);
}

// A window narrower than 48 pixels puts a bar of the grid below one pixel;
// the frame still ends.
TEST_F(RightPanelTest, TinyWindowsStillDrawTheGrid) {
    EXPECT_EQ(indicatorGridRows(scale).back(), px(200.0001));  // 15 bar
    copy->clientWidth = 22;
    copy->clientHeight = 21;
    copy->displayScale = 8000.0 / 22;
    QImage image(22, 21, QImage::Format_RGB32);
    QPainter painter(&image);
    QtCanvas canvas(painter);
    drawRightHandPanel(canvas, *copy, means);
}

TEST_F(RightPanelTest, BarMarksFollowTheirGuards) {
    copy->indicatorShown = false;
    copy->wheelPower = -1000.0;  // kW, braking
    copy->acceleration = 1.5;    // m/s², beyond the scale
    means.acceleration = -1.5f;
    const auto at = [&](int column, QRgb colour) {
        for (const BarMark& m : barMarks(*copy, means)) {
            if (m.column == column && qRgb(m.colour.r, m.colour.g, m.colour.b) == colour) return std::optional(m);
        }
        return std::optional<BarMark>{};
    };
    EXPECT_EQ(barMarks(*copy, means).size(), 9u);  // no red mark for water at a standstill
    EXPECT_FALSE(at(4, redPixel));
    EXPECT_EQ(at(2, redPixel)->y, px(2400 - 1000 * 1.1));  // braking shows as power
    EXPECT_LT(at(5, redPixel)->y, 0);                   // above the column
    EXPECT_GT(at(5, cyanPixel)->y, px(2500));           // below it

    // Wheels spinning at a standstill: water per km is infinite, and so is its average.
    copy->wheelSpeed = 3.0;
    copy->waterPerKm = std::numeric_limits<double>::infinity();
    means.waterPerKm = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(at(4, redPixel));
    EXPECT_FALSE(at(4, cyanPixel));
    copy->waterPerKm = -1e300;
    EXPECT_EQ(at(4, redPixel)->y, height + offWindowReach * height);

    copy->textHidden = true;
    EXPECT_EQ(barMarks(*copy, means).size(), 2u);
}

TEST_F(RightPanelTest, WithoutTextsOnlyTheFirstTwoColumnsShow) {
    copy->indicatorShown = false;
    copy->wheelPower = 1000.0;  // kW
    copy->fireRate = 50;
    copy->blowerSteamFlow = 1.0;  // kg/s
    copy->fireShortfall = 90;
    const int powerRow = px(2400 - 1000 * 1.1);
    QImage image = draw();
    EXPECT_EQ(image.pixel(n - px(900), px(2400 - 50 * 22)), redPixel);  // fire rate
    EXPECT_EQ(image.pixel(n - px(150), px(1500)), qRgb(90, 90, 90));    // column 1 greyed by the shortfall

    copy->textHidden = true;
    image = draw();
    EXPECT_EQ(image.pixel(n - px(500), powerRow), redPixel);
    EXPECT_EQ(image.pixel(n - px(100), px(2400 - 440)), redPixel);  // the blower's kilogram a second
    EXPECT_EQ(countOf(image, cyanPixel), 0);
    EXPECT_EQ(countOf(image, qRgb(0, 0, 0), 0, 0, n - px(720), height), 0);  // nothing left of column 2
}

}  // namespace
}  // namespace zt40
