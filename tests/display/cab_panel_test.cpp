// The cab panel drawn offscreen into an image and probed by pixel.
#include "cab_panel.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <memory>

#include "cab_knobs.h"
#include "pointer_targets.h"
#include "qt_canvas.h"

namespace zt40 {
namespace {

constexpr double scale = 2.0;  // mm per pixel: a large, clear picture

class CabPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        copy = std::make_unique<LocomotiveState>();
        copy->displayScale = scale;
        copy->clientWidth = 1400;
        copy->clientHeight = 1300;
        copy->tankWater = 12000.0;
        copy->gaugeGlassLevel = 400.0;
        copy->steamChestPyrometer = 273.0;
    }
    QImage draw() {
        QImage image(copy->clientWidth, copy->clientHeight, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QtCanvas canvas(painter);
        drawCabPanel(canvas, *copy, frame, memory);
        return image;
    }
    static bool dark(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 80; }
    // Needles end on truncated pixels: a vertical one may lean by a pixel.
    static bool darkNear(const QImage& image, int x, int y) {
        return dark(image, x - 1, y) || dark(image, x, y) || dark(image, x + 1, y);
    }
    static int px(double mm) { return static_cast<int>(mm / scale); }

    std::unique_ptr<LocomotiveState> copy;
    FrameState frame;
    DisplayMemory memory;
    const int cx = px(1560), cy = px(2000);
};

TEST_F(CabPanelTest, EightBarPointsTheBoilerNeedleStraightUp) {
    copy->boilerSteam.pressure = 800000.0;
    const QImage image = draw();
    const int x = cx - px(1300), y = cy - px(1750);
    EXPECT_TRUE(darkNear(image, x, y - 50));
    EXPECT_FALSE(dark(image, x - 20, y - 50));
    EXPECT_FALSE(dark(image, x + 50, y));  // nothing pointing right
}

TEST_F(CabPanelTest, SpeedometerDownAtRestUpAt80KmH) {
    const int x = cx + px(350), y = cy - px(1000);
    QImage image = draw();
    EXPECT_TRUE(darkNear(image, x, y + 50));
    EXPECT_FALSE(darkNear(image, x, y - 50));
    copy->wheelSpeed = 22.2;
    image = draw();
    EXPECT_TRUE(darkNear(image, x, y - 50));
    EXPECT_FALSE(darkNear(image, x, y + 50));
}

TEST_F(CabPanelTest, GaugeGlassFullBelow215EmptyFrom650) {
    const int x = px(1093), top = px(1000);
    const auto cyanAt = [&](const QImage& image, int y) { return image.pixel(x, y) == qRgb(0, 255, 255); };
    copy->gaugeGlassLevel = 100.0;
    QImage image = draw();
    EXPECT_TRUE(cyanAt(image, top - px(400)));  // water right up the glass
    EXPECT_FALSE(cyanAt(image, top - px(500)));  // but not above its top fitting
    copy->gaugeGlassLevel = 650.0;
    image = draw();
    for (int y = top - px(520); y < top - px(60); y += 5) ASSERT_FALSE(cyanAt(image, y)) << y;
}

TEST_F(CabPanelTest, CutOffMarkerAtTheScaleEnds) {
    const QRgb red = qRgb(255, 0, 0);
    copy->reverser = 160;
    QImage image = draw();
    EXPECT_EQ(image.pixel(cx + px(60), cy - px(230)), red);  // on the scale's lower edge
    copy->reverser = -160;
    image = draw();
    EXPECT_EQ(image.pixel(cx + px(60), cy - px(918)), red);  // 12 mm below its upper edge
    EXPECT_NE(image.pixel(cx + px(60), cy - px(230)), red);
}

TEST_F(CabPanelTest, TheFireHoleDoorDarkensWhenTheTankRunsDry) {
    const int x = cx - px(960), y = cy - px(25);  // inside the door
    QImage image = draw();
    EXPECT_EQ(image.pixel(x, y), qRgb(255, 0, 0));
    copy->tankWater = 100.0;
    image = draw();
    EXPECT_EQ(image.pixel(x, y), qRgb(100, 0, 0));
}

TEST_F(CabPanelTest, TheKnobsTheMouseMeasuresFromAreWhereThePictureShowsThem) {
    // Each knob's rim is drawn where the cab's knob positions say, and it moves with the control.
    const auto drawnAt = [&](KnobPosition knob, int radius = 3) {
        const QImage image = draw();
        EXPECT_TRUE(dark(image, knob.x, knob.y - radius)) << knob.x << "," << knob.y;
        return QPoint(knob.x, knob.y);
    };
    copy->pilotValve = 0;
    const QPoint shut = drawnAt(regulatorKnob(scale, copy->pilotValve));
    copy->pilotValve = 60;
    EXPECT_NE(drawnAt(regulatorKnob(scale, copy->pilotValve)), shut);
    copy->brakeCommand = 0;
    const QPoint released = drawnAt(brakeKnob(scale, copy->brakeCommand));
    copy->brakeCommand = 29;
    EXPECT_NE(drawnAt(brakeKnob(scale, copy->brakeCommand)), released);
    copy->reverser = 80;
    drawnAt(reverserKnob(scale, copy->reverser), 5);
}

}  // namespace
}  // namespace zt40

int main(int argc, char** argv) {
    // Without a display the pictures are drawn offscreen.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
