// A train driven through the engine at 30 % cut-off: the indicator diagram
// its model samples, as the panel reads and draws it.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <memory>
#include <numbers>

#include "indicator_panel.h"
#include "engine_fixtures.h"
#include "qt_canvas.h"

namespace zt40 {
namespace {

using std::numbers::pi;

// The work a loop stands for, in square pixels: pressure above the zero
// line integrated over piston travel, round the loop in the order sampled.
// Space B grows with the travel, space A shrinks.
double loopWork(const std::vector<PixelPoint>& loop, int zeroRow) {
    double work = 0.0;
    for (std::size_t i = 0; i < loop.size(); ++i) {
        const PixelPoint& a = loop[i];
        const PixelPoint& b = loop[(i + 1) % loop.size()];
        work += (b.x - a.x) * (zeroRow - (a.y + b.y) / 2.0);
    }
    return work;
}

// Crank angle of the side last sampled.
double sampledCrankAngle(const LocomotiveState& s) { return s.indicatorSamples[s.indicatorIndex].crankAngle; }

double angleBetween(double a, double b) { return std::fabs(std::remainder(a - b, 2.0 * pi)); }

TEST(IndicatorRun, ATrainAtSpeedDrawsClosedDrivingLoopsOfTheChosenSide) {
    testing::EngineDrive drive([](LocomotiveState& s) {
        s.trainWeight = 300;
        s.cylinderWallTemp = 400.0;  // K
    });
    testing::startAndNotchUp(drive);  // 30 % fore gear
    drive.run(100.0);  // about 10 m/s and hardly gaining
    ASSERT_GT(drive->wheelSpeed, 8.0);
    ASSERT_LT(std::fabs(drive->acceleration), 0.2);

    LocomotiveState* s = &drive.state();
    const int zero = static_cast<int>(2700.0 / s->displayScale);
    for (bool otherSide : {false, true}) {
        drive->indicatorSide = otherSide;
        drive.run(1.0);  // two turns and more
        const auto green = indicatorPoints(*s, IndicatorSeries::green);
        const auto red = indicatorPoints(*s, IndicatorSeries::red);
        ASSERT_GT(green.size(), 400u) << "other side: " << otherSide;
        // One turn of the crank: the loop ends where it began.
        EXPECT_LE(std::abs(green.back().x - green.front().x) + std::abs(green.back().y - green.front().y), 3);
        // Both working spaces drive the piston.
        EXPECT_GT(loopWork(green, zero), 5000.0);
        EXPECT_LT(loopWork(red, zero), -5000.0);
        // Side 1 leads side 2 by a quarter turn.
        const double crank = s->wheelAngle + (otherSide ? 0.0 : pi / 2.0);
        EXPECT_LT(angleBetween(sampledCrankAngle(*s), crank), 0.1) << "other side: " << otherSide;
    }

    // As drawn: both loops inside the diagram's frame.
    s->indicatorShown = true;
    QImage image(s->clientWidth, s->clientHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QtCanvas canvas(painter);
    drawRightHandPanel(canvas, *s, AverageMeans{});
    painter.end();
    int inside = 0, outside = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != qRgb(0, 255, 0) && image.pixel(x, y) != qRgb(255, 0, 0)) continue;
            (x > s->clientWidth - 3200 / s->displayScale && y < 3000 / s->displayScale ? inside : outside) += 1;
        }
    }
    EXPECT_GT(inside, 300);
    EXPECT_EQ(outside, 0);
}

}  // namespace
}  // namespace zt40
