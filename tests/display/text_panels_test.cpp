// The texts drawn offscreen with the built-in font and probed by pixel.
#include "text_panels.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <functional>

#include "qt_canvas.h"

namespace zt40 {
namespace {

QImage drawn(const std::function<void(Canvas&)>& draw) {
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QtCanvas canvas(painter);
    draw(canvas);
    return image;
}

// Any pixel in the box for which `wanted` holds.
bool anyIn(const QImage& image, QRect box, const std::function<bool(QRgb)>& wanted) {
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            if (wanted(image.pixel(x, y))) return true;
        }
    }
    return false;
}

TEST(TextPanels, BuiltInFontHasEightBySixteenPixelCharacters) {
    const QFontMetrics metrics(textFont());
    EXPECT_EQ(metrics.horizontalAdvance(QString::fromUtf8("Ø°²üWi")), 6 * 8);
    EXPECT_EQ(metrics.height(), 16);
}

TEST(TextPanels, HelpBlueAndWarningsRedOnYellow) {
    TextStage text;
    text.shown = true;
    text.statusLines.push_back({400, 100, "Steigung=0 %o Strecke=0.000 Meter"});
    text.help = TextBox{100, 300, {"Tachometer", "Geschw.=36.0 km/h", ""}};
    text.warnings.push_back(TextBox{100, 450, {"Schleudern!", "", ""}});
    const QImage image = drawn([&](Canvas& canvas) { drawTextStage(canvas, text); });

    const QRgb yellow = qRgb(255, 217, 15);
    EXPECT_EQ(image.pixel(95, 298), yellow);  // the box's margin, left of the text
    EXPECT_EQ(image.pixel(95, 448), yellow);
    const auto blue = [](QRgb p) { return qBlue(p) > 200 && qRed(p) < 60 && qGreen(p) < 60; };
    const auto red = [](QRgb p) { return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60; };
    const auto dark = [](QRgb p) { return qGray(p) < 60; };
    EXPECT_TRUE(anyIn(image, QRect(100, 300, 17 * 8, 32), blue));
    EXPECT_FALSE(anyIn(image, QRect(100, 300, 17 * 8, 32), red));
    EXPECT_TRUE(anyIn(image, QRect(100, 450, 11 * 8, 16), red));
    EXPECT_FALSE(anyIn(image, QRect(100, 450, 11 * 8, 16), blue));
    EXPECT_TRUE(anyIn(image, QRect(400, 100, 33 * 8, 16), dark));
    EXPECT_EQ(image.pixel(100 + 17 * 8 + 2, 310), qRgb(255, 255, 255));  // the box ends with its longest line

    // Hidden texts draw nothing at all.
    text.shown = false;
    const QImage hidden = drawn([&](Canvas& canvas) { drawTextStage(canvas, text); });
    EXPECT_FALSE(anyIn(hidden, QRect(0, 0, 800, 600), [](QRgb p) { return p != qRgb(255, 255, 255); }));
}

TEST(TextPanels, ButtonBarShowsWeightButtonsOnlyAtAStandstill) {
    LocomotiveState copy{};
    copy.displayScale = 5.0;  // the bar starts at 430 px
    const auto minusSign = [](const QImage& image) { return qGray(image.pixel(430 + 12, 18)) < 60; };
    QImage image = drawn([&](Canvas& canvas) { drawButtonBar(canvas, copy); });
    EXPECT_TRUE(minusSign(image));
    const auto dark = [](QRgb p) { return qGray(p) < 60; };
    EXPECT_TRUE(anyIn(image, QRect(430 + 198, 42, 24, 16), dark));  // "1:1"
    EXPECT_FALSE(anyIn(image, QRect(430 + 193, 40, 4, 18), dark));   // its label stays in its button
    copy.trainSpeed = 1.0;
    image = drawn([&](Canvas& canvas) { drawButtonBar(canvas, copy); });
    EXPECT_FALSE(minusSign(image));
    EXPECT_EQ(qGray(image.pixel(430, 48)), 0);  // the speed button's outline stays
}

}  // namespace
}  // namespace zt40
