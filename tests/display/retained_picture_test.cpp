// Frames drawn as the window draws them (recorded, drawn again only where
// they changed, two pictures in turn)
// against the same frames drawn whole onto a blank image: the same pixels,
// through a drive with the wheels turning, display switches, texts hidden,
// warnings coming and going and the window resized.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <memory>

#include "draw_list.h"
#include "frame_fixtures.h"
#include "frame_picture.h"
#include "pointer_targets.h"
#include "retained_picture.h"

namespace zt40 {
namespace {

const AverageMeans means{300.0f, 0.1f, 850.0f, 380.0f};

// The drive at frame `n` in a window of that size: the wheels turn and
// the sleepers pass all the time; the panels, the texts and a warning
// change now and then.
void setMoment(FrameView& view, int n, int width, int height) {
    LocomotiveState& c = view.record;
    testing::sizeWindow(c, width, height);
    c.boilerSteam.pressure = 1350000.0;
    c.gaugeGlassLevel = 350.0;
    c.reverser = -80;
    c.pilotValve = 90;
    c.tankWater = 9000.0;
    c.steamChest.pressure = 900000.0;
    c.steamChest.temperature = 520.0;
    c.blastPipeFlow = 3.0;
    c.drainCocksOpen = true;
    c.brake = 50;
    c.wheelSpeed = c.trainSpeed = 10.0 + 0.01 * (n % 3);  // m/s
    c.wheelPower = 900.0;
    c.wheelAngle = std::fmod(0.05 * n, 6.283185307179586);
    c.indicatorShown = n % 90 >= 50 && n % 90 < 60;
    c.trackTableShown = n % 90 >= 60 && n % 90 < 66;
    c.stripShown = n % 90 >= 70 && n % 90 < 76;
    c.textHidden = n % 90 >= 80 && n % 90 < 84;
    c.wheelSlip = n % 45 < 20;  // a warning
    c.hoverTarget = hover::rearWorkingSpace;
    c.hoverHintVisible = true;
    c.mouseX = width / 3;
    c.mouseY = height / 2;
    view.rules.timeFactor = 0.015;
    view.rules.sleeperPhase = std::fmod(2.0 * n, width);  // px
    testing::placeRunningGear(c, view.preparation, c.wheelAngle);
}

QImage drawnWhole(const FrameView& view, DisplayMemory& memory, QSize screen) {
    QImage image(screen, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QtCanvas canvas(painter);
    drawFramePicture(canvas, view, memory, means);
    return image;
}

TEST(RetainedPicture, DrawsEveryFrameAsAFullDrawingDoesThroughADriveWithResizesAndSwitches) {
    struct Stretch {
        int width, height, frames;
    };
    struct Screen {
        QSize size;
        std::vector<Stretch> stretches;
    } screens[] = {{QSize(1920, 1200), {{1920, 1080, 100}, {1024, 700, 30}, {1920, 1200, 50}}},
                   {QSize(3840, 2160), {{3840, 2160, 30}}}};
    for (const Screen& screen : screens) {
        auto view = std::make_unique<FrameView>();
        DisplayMemory recorded, whole;  // each drawing keeps its own
        CallPixels pixels;  // both pictures lay the calls that stay from the same runs
        RetainedPicture pictures[2] = {RetainedPicture(screen.size, 1.0, &pixels),
                                       RetainedPicture(screen.size, 1.0, &pixels)};
        DrawList list;
        int n = 0;
        for (const Stretch& stretch : screen.stretches) {
            for (int i = 0; i < stretch.frames; ++i, ++n) {
                SCOPED_TRACE(::testing::Message() << stretch.width << " x " << stretch.height << " frame " << n);
                setMoment(*view, n, stretch.width, stretch.height);
                {
                    RecordingCanvas recorder(list);
                    drawFramePicture(recorder, *view, recorded, means);
                }
                RetainedPicture& picture = pictures[n % 2];
                picture.show(list);
                ASSERT_TRUE(picture.image() == drawnWhole(*view, whole, screen.size));
            }
        }
        EXPECT_GT(pixels.callsKept(), 100u);
    }
}

TEST(RetainedPicture, DrawsNothingWhereNothingChangedAndOnlyAroundWhatDid) {
    auto view = std::make_unique<FrameView>();
    DisplayMemory memory;
    RetainedPicture picture(QSize(1600, 1170));
    DrawList list;
    const auto show = [&](int n) {
        setMoment(*view, n, 1600, 1170);
        view->record.brake = 0;  // no glow to follow
        RecordingCanvas recorder(list);
        drawFramePicture(recorder, *view, memory, means);
        return picture.show(list);
    };
    show(1);
    const QImage first = picture.image();
    EXPECT_TRUE(show(1).empty());
    EXPECT_TRUE(picture.image() == first);
    // The wheels turn a little: the side view's running gear, not the cab.
    long long redrawn = 0;
    for (const PixelRect& area : show(2)) redrawn += area.area();
    EXPECT_GT(redrawn, 0);
    EXPECT_LT(redrawn, 1600LL * 1170 / 2);
}

}  // namespace
}  // namespace zt40
