// The side view drawn offscreen and probed by pixel, and its colour rules.
#include "side_view.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <memory>

#include "frame_fixtures.h"
#include "qt_canvas.h"

namespace zt40 {
namespace {

constexpr double scale = 5.0;  // mm per pixel

TEST(SpaceColour, WhiteAtAtmosphereBlueVioletUnderPressure) {
    for (double temperature : {250.0, 373.0, 700.0}) {
        const Rgb c = spaceColour(0.0, temperature);
        EXPECT_EQ(c.r, 255);
        EXPECT_EQ(c.g, 255);
        EXPECT_EQ(c.b, 255);
    }
    const Rgb hot = spaceColour(1400000.0, 470.0);
    EXPECT_EQ(hot.r, 105);
    EXPECT_EQ(hot.g, 0);
    EXPECT_EQ(hot.b, 255);
}

TEST(BrakeGlow, FollowsTheBrakeAndJumpsAtStop) {
    DisplayMemory memory;
    auto copy = std::make_unique<LocomotiveState>();
    copy->brake = 130;
    copy->wheelSpeed = 5.0;
    copy->sandSeconds = 100.0;
    for (int i = 0; i < 200; ++i) advanceBrakeGlow(memory, 0.015, *copy);
    EXPECT_EQ(memory.wheelGlow, 130.0);
    copy->wheelSpeed = 0.0;  // standing: only a faint glow
    advanceBrakeGlow(memory, std::numeric_limits<double>::infinity(), *copy);
    EXPECT_EQ(memory.wheelGlow, 1.0);
    memory.sandFront = true;
    copy->sandSeconds = 5.0;  // nearly empty box: no sand drawn
    advanceBrakeGlow(memory, 0.015, *copy);
    EXPECT_FALSE(memory.sandFront);
}

class SideViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        copy = std::make_unique<LocomotiveState>();
        copy->displayScale = scale;
        copy->clientWidth = 1600;
        copy->clientHeight = 1170;
        copy->sandSeconds = 1800.0;
        copy->frictionFactor = 0.25;
        copy->wheelAngle = 0.0;
    }
    QImage draw() {
        FramePreparation frame{};
        testing::placeRunningGear(*copy, frame, copy->wheelAngle);
        QImage image(copy->clientWidth, copy->clientHeight, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QtCanvas canvas(painter);
        drawGradientAndPlumes(canvas, *copy, frame);
        drawSideView(canvas, *copy, rules, memory, frame);
        return image;
    }
    int u(double mm) const { return static_cast<int>(160 + mm / scale); }  // px right of the window edge
    int v(double mm) const { return static_cast<int>(960 + mm / scale); }  // px below the top

    std::unique_ptr<LocomotiveState> copy;
    FrameState rules;
    DisplayMemory memory;
};

TEST_F(SideViewTest, FrameTyreAndCylinderSpaceColours) {
    copy->cylinder1SpaceA.pressure = 1400000.0;
    copy->cylinder1SpaceA.temperature = 470.0;
    copy->cylinder1SpaceA.volume = 0.2;
    const QImage image = draw();
    EXPECT_EQ(image.pixel(u(6800), v(-100)), qRgb(150, 0, 70));  // the frame behind the carrying wheel
    // The front working space, between the piston and the cover.
    EXPECT_EQ(image.pixel(u(5250), v(200)), qRgb(105, 0, 255));
    // The carrying wheel's red rim, straight above its axle.
    const int rimY = static_cast<int>(960 + 275 / scale - 425 / scale);
    bool red = false;
    for (int dy = -2; dy <= 2; ++dy) red = red || image.pixel(u(5950), rimY + dy) == qRgb(255, 0, 0);
    EXPECT_TRUE(red);
}

TEST_F(SideViewTest, AnEmptySpaceShowsNoWater) {
    copy->cylinder1SpaceB.volume = 0.1;
    copy->cylinder1SpaceB.waterMass = 0.0005;  // a trace
    QImage image = draw();
    EXPECT_NE(image.pixel(u(4350), v(340)), qRgb(0, 255, 255));
    copy->cylinder1SpaceB.waterMass = 30.0;
    image = draw();
    EXPECT_EQ(image.pixel(u(4350), v(340)), qRgb(0, 255, 255));
}

TEST_F(SideViewTest, FullBrakeGlowsYellowReleasedShoesStandOff) {
    // The shoe of the middle coupled wheel, a 20 px band on its tyre at axle
    // height (the connecting rod passes just right of it in this pose).
    const int tyre = static_cast<int>(160 + 1650 / scale) + static_cast<int>(775 / scale);  // px
    copy->brake = 130;
    copy->wheelSpeed = 3.0;
    memory.wheelGlow = 130.0;
    QImage image = draw();
    EXPECT_EQ(image.pixel(tyre - 8, 960), qRgb(255, 255, 0));
    EXPECT_EQ(image.pixel(tyre - 1, 960), qRgb(255, 255, 0));

    copy->brake = 0;
    memory.wheelGlow = 0.0;
    image = draw();
    // Released: black, and 40 mm (8 px) off the tyre.
    EXPECT_NE(image.pixel(tyre - 8, 960), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(tyre - 1, 960), qRgb(0, 0, 0));
}

TEST_F(SideViewTest, SlipperyRailReddensTheGradientLine) {
    copy->frictionFactor = 0.1;
    const QImage image = draw();
    const int y = static_cast<int>(960 - 1300 / scale);
    EXPECT_EQ(image.pixel(800, y), qRgb(255, 0, 0));
    copy->frictionFactor = 0.25;
    const QImage dry = draw();
    EXPECT_EQ(dry.pixel(800, y), qRgb(0, 0, 0));
}


TEST_F(SideViewTest, HubsTakeTheRimsDarkRedBrush) {
    const QImage image = draw();
    constexpr QRgb darkRed = qRgb(200, 0, 0);
    // Driving wheel, crank down: beside the crank, between two spokes (the
    // eccentric rod covers the right-hand side).
    EXPECT_EQ(image.pixel(u(0) - 27, v(0) - 7), darkRed);
    // Carrying wheel: its small hub, off the axle.
    EXPECT_EQ(image.pixel(u(5950) + 8, v(275) + 8), darkRed);
}

TEST_F(SideViewTest, RodEndBossesAreRound) {
    // The coupling rods meet at the middle wheel's crank pin, 330 mm below
    // its axle; the boss there is a disc of 47 px around the pin, so a pixel
    // diagonally off the black pin is still the rod's grey.
    const QImage image = draw();
    const int pinX = u(1650), pinY = v(330);
    EXPECT_EQ(image.pixel(pinX, pinY), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(pinX + 18, pinY + 18), qRgb(70, 70, 70));
    EXPECT_EQ(image.pixel(pinX - 18, pinY + 18), qRgb(70, 70, 70));
}

TEST(QtCanvas, WidePensEndAndJoinRoundHairlinesAndDotsStaySquare) {
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QtCanvas canvas(painter);
    constexpr Rgb red{255, 0, 0};
    canvas.line({50, 50}, {100, 50}, Pen{red, 20});  // a crank
    canvas.polyline({{50, 150}, {100, 150}, {100, 100}}, Pen{red, 20});
    canvas.line({150, 20}, {150, 80}, Pen{red, 1});
    painter.end();
    EXPECT_EQ(image.pixel(106, 50), qRgb(255, 0, 0));    // past the end, on the axis
    EXPECT_EQ(image.pixel(106, 56), qRgb(255, 0, 0));    // round: inside the cap
    EXPECT_EQ(image.pixel(108, 58), qRgb(255, 255, 255)); // round: the square's corner stays clear
    EXPECT_EQ(image.pixel(42, 42), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(108, 158), qRgb(255, 255, 255)); // a round join leaves the corner
    EXPECT_EQ(image.pixel(106, 154), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(150, 80), qRgb(255, 255, 255));  // a hairline ends where it ends
    EXPECT_EQ(image.pixel(150, 81), qRgb(255, 255, 255));
}

}  // namespace
}  // namespace zt40
