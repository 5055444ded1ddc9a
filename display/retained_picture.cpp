#include "retained_picture.h"

#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <utility>

#include "frame_damage.h"

namespace zt40 {

namespace {

QImage blankImage(QSize size, qreal devicePixelRatio) {
    QImage image(size * devicePixelRatio, QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::white);
    return image;
}

}  // namespace

RetainedPicture::RetainedPicture(QSize size, qreal devicePixelRatio, CallPixels* pixels)
    : image_(blankImage(size, devicePixelRatio)), pixels_(pixels) {}

void RetainedPicture::reset(QSize size, qreal devicePixelRatio) {
    image_ = blankImage(size, devicePixelRatio);
    shown_.commands.clear();
}

std::vector<PixelRect> RetainedPicture::show(DrawList& next) {
    const std::vector<int> match = matchCalls(shown_, next);
    std::vector<PixelRect> areas = changedAreas(shown_, next, match);
    // Only what lies on the picture.
    const QSizeF size = image_.deviceIndependentSize();
    const PixelRect picture{0, 0, static_cast<int>(size.width()), static_cast<int>(size.height())};
    for (PixelRect& a : areas) a = a.intersectedWith(picture);
    std::erase_if(areas, [](const PixelRect& a) { return a.empty(); });
    if (!areas.empty()) {
        CallPixels* pixels = image_.devicePixelRatio() == 1.0 ? pixels_ : nullptr;
        // The rows are taken before the painter holds the picture, so that
        // both write to the same pixels.
        uchar* bits = image_.bits();
        QRegion clip;
        for (const PixelRect& a : areas) clip += QRect(a.left, a.top, a.right - a.left, a.bottom - a.top);
        QPainter painter(&image_);
        painter.setClipRegion(clip);
        for (const QRect& r : clip) painter.fillRect(r, Qt::white);
        QtCanvas canvas(painter, &fonts_);
        // Every call that reaches the areas, in its turn: one that stays is
        // laid from its kept runs where it can be, any other drawn.
        bool blank = true;  // nothing drawn on the cleared areas yet
        for (std::size_t i = 0; i < next.commands.size(); ++i) {
            const DrawCommand& call = next.commands[i];
            if (!reachesAny(call.reach, areas)) continue;
            const bool laid =
                pixels && match[i] >= 0 && pixels->lay(call, areas, blank, bits, image_.bytesPerLine(), image_.size());
            if (!laid) playOne(call, canvas);
            blank = false;
        }
    }
    if (pixels_) pixels_->endFrame();
    std::swap(shown_, next);
    return areas;
}

}  // namespace zt40
