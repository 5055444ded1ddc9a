// Whole frames full of texts drawn offscreen at the window sizes people
// use, from a small laptop to a 4K screen: every text inside the window and
// clear of every other, the texts growing with the window, and the window
// the layout was made for drawn as it always was.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>

#include "frame_fixtures.h"
#include "frame_picture.h"
#include "pointer_targets.h"
#include "qt_canvas.h"

namespace zt40 {
namespace {

enum class Panel { bars, indicator, trackTable, strip };

// A drive at 30 km/h with the status lines, a help box and three warnings,
// and the right-hand panel as `panel` says.
std::unique_ptr<FrameView> busyFrame(int width, int height, Panel panel) {
    auto view = std::make_unique<FrameView>();
    LocomotiveState& c = view->record;
    testing::sizeWindow(c, width, height);
    c.boilerSteam.pressure = 1350000.0;
    c.gaugeGlassLevel = 350.0;
    c.reverser = -80;
    c.pilotValve = 90;
    c.regulator = 62;
    c.tankWater = 11896.47;
    c.steamChest.pressure = 900000.0;
    c.steamChest.temperature = 520.0;
    c.cylinderWallTemp = 435.1;
    c.sandSeconds = 1800.0;
    c.distance = 4456.52;
    c.simTime = 2404.0;
    c.trainSpeed = c.wheelSpeed = 8.4;  // m/s
    c.trainWeight = 300;
    c.wheelSlip = true;
    c.fireShortfall = 10;
    c.safetyValveOpen = true;
    c.hoverTarget = hover::rearWorkingSpace;
    c.hoverHintVisible = true;
    c.mouseX = width / 2;
    c.mouseY = height / 3;
    c.indication.turnTime = 0.4;  // s: the figures beside the diagram
    c.indication.engine.power = 971000.0;  // W
    c.indicatorShown = panel == Panel::indicator;
    c.trackTableShown = panel == Panel::trackTable;
    c.stripShown = panel == Panel::strip;
    c.trackAutomatic = true;
    for (int i = 0; i < TrackTableSnapshot::maxRows; ++i) {
        view->trackTable.rows[i] = {100.0 * i + 4000.0, 0.25f, static_cast<std::int8_t>(i % 7 - 3), i == 0, false,
                                    i == 5, i == 4};
    }
    view->trackTable.rowCount = TrackTableSnapshot::maxRows;
    view->rules.timeFactor = 0.015;
    view->rules.coalRate = 25.0 / 60.0;
    view->rules.coalTotal = 11.9;
    testing::placeRunningGear(c, view->preparation, 1.0);
    return view;
}

struct Drawn {
    QImage picture;
    TextLayer texts;
};

Drawn draw(const FrameView& view, qreal pixelRatio = 1.0) {
    const QSize size(view.record.clientWidth, view.record.clientHeight);
    QImage picture(size * pixelRatio, QImage::Format_RGB32);
    picture.setDevicePixelRatio(pixelRatio);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    QtCanvas canvas(painter);
    DisplayMemory memory;
    drawFramePicture(canvas, view, memory, AverageMeans{300.0f, 0.1f, 850.0f, 380.0f});
    painter.end();
    return {picture, canvas.texts()};
}

// The rows of the credit line, at the window's foot, with any dark pixel.
int creditInkHeight(const Drawn& drawn) {
    const TextExtent credit = drawn.texts.texts().back();
    const qreal ratio = drawn.picture.devicePixelRatio();
    int rows = 0;
    for (int y = int(credit.top * ratio); y < int(credit.bottom * ratio); ++y) {
        bool ink = false;
        for (int x = 0; x < int(credit.right * ratio) && !ink; ++x) ink = qGray(drawn.picture.pixel(x, y)) < 128;
        rows += ink;
    }
    return rows;
}

TEST(WindowSizes, EveryTextStaysInsideTheWindowClearOfTheOthersAndGrowsWithIt) {
    struct Size {
        int width, height;
        qreal ratio;
    } sizes[] = {{800, 600, 1}, {1024, 700, 1}, {1600, 1170, 1}, {1920, 1080, 1}, {1920, 1080, 2}, {3840, 2160, 1}};
    for (Panel panel : {Panel::bars, Panel::indicator, Panel::trackTable, Panel::strip}) {
        int lastInk = 0, referenceInk = 0;
        for (const Size& size : sizes) {
            SCOPED_TRACE(::testing::Message() << size.width << " x " << size.height << " @" << size.ratio << " panel "
                                            << int(panel));
            const Drawn drawn = draw(*busyFrame(size.width, size.height, panel), size.ratio);
            const std::vector<TextExtent>& boxes = drawn.texts.texts();
            ASSERT_GE(boxes.size(), 20u);  // buttons, status lines, help, warnings, panel, credit line
            // The window the layout was made for keeps its pop-ups where they always were (below).
            const bool asMade = size.width == 1600;
            for (std::size_t i = 0; i < boxes.size(); ++i) {
                const TextExtent& a = boxes[i];
                EXPECT_TRUE(a.insideWindow(size.width, size.height))
                    << "text " << i << " at " << a.left << "," << a.top << "-" << a.right << "," << a.bottom;
                for (std::size_t j = i + 1; j < boxes.size() && !asMade; ++j) {
                    EXPECT_FALSE(a.overlaps(boxes[j])) << "texts " << i << " and " << j << " at " << a.left << ","
                                                       << a.top << " and " << boxes[j].left << "," << boxes[j].top;
                }
            }
            // Never smaller than at the window before it, and at 4K much larger than at the reference.
            const int ink = creditInkHeight(drawn);
            if (size.ratio > 1) {
                EXPECT_GE(ink, 2 * referenceInk - 1);  // the same text on twice the device pixels
                continue;
            }
            EXPECT_GE(ink, lastInk);
            lastInk = ink;
            if (size.width == 1600) referenceInk = ink;
            if (size.width == 3840) {
                EXPECT_GT(ink, referenceInk * 3 / 2);
            }
        }
    }
}

// FNV-1a over the picture's pixels.
std::uint64_t digest(const QImage& picture) {
    std::uint64_t hash = 14695981039346656037ull;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* line = reinterpret_cast<const unsigned char*>(picture.constScanLine(y));
        for (qsizetype i = 0; i < picture.bytesPerLine(); ++i) hash = (hash ^ line[i]) * 1099511628211ull;
    }
    return hash;
}

TEST(WindowSizes, TheWindowTheLayoutWasMadeForDrawsAsItAlwaysHas) {
    // Pinned from the drawing before the text cell grew with the window;
    // the track table without its marker row, whose right arrowhead is now
    // drawn where it used to be cut off.
    const struct {
        Panel panel;
        bool markerRow;
        std::uint64_t digest;
    } frames[] = {{Panel::bars, true, 3524004503504472449u},
                   {Panel::indicator, true, 5469766309116777904u},
                   {Panel::trackTable, false, 16597097927158994373u}};
    for (const auto& frame : frames) {
        SCOPED_TRACE(int(frame.panel));
        const auto view = busyFrame(1600, 1170, frame.panel);
        view->record.trackAutomatic = frame.markerRow;
        EXPECT_EQ(digest(draw(*view).picture), frame.digest);
    }
}

}  // namespace
}  // namespace zt40
