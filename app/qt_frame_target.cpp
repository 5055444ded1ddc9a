#include "qt_frame_target.h"

#include <QMetaObject>
#include <QPainter>

#include "frame_damage.h"
#include "qt_canvas.h"

namespace zt40 {

QtFrameTarget::QtFrameTarget(QWidget& window, QSize screenSize, qreal devicePixelRatio, Shown shown)
    : window_(window),
      shown_(shown),
      pictures_{RetainedPicture(screenSize, devicePixelRatio, &callPixels_),
                RetainedPicture(screenSize, devicePixelRatio, &callPixels_)},
      screenSize_(screenSize),
      devicePixelRatio_(devicePixelRatio) {
    textFont();  // the font database is the GUI thread's: load the font before the first frame
}

void QtFrameTarget::fitScreen(QSize screenSize, qreal devicePixelRatio) {
    std::lock_guard guard(handOver_);
    screenSize_ = screenSize;
    devicePixelRatio_ = devicePixelRatio;
}

void QtFrameTarget::drawFrame(const std::function<void(Canvas&)>& draw) {
    QSize screenSize;
    qreal ratio = 1.0;
    int back = 0;
    {
        std::lock_guard guard(handOver_);
        screenSize = screenSize_;
        ratio = devicePixelRatio_;
        back = 1 - front_;
    }
    {
        RecordingCanvas recorder(next_);
        draw(recorder);
    }
    // Only the render thread changes the pictures, so it reads the one on
    // screen without the lock.
    const RetainedPicture& onScreen = pictures_[static_cast<std::size_t>(1 - back)];
    RetainedPicture& picture = pictures_[static_cast<std::size_t>(back)];
    const auto fits = [&](const RetainedPicture& p) {
        return p.image().size() == screenSize * ratio && p.image().devicePixelRatio() == ratio;
    };
    const bool fitted = fits(picture) && fits(onScreen);
    const std::vector<PixelRect> changed = changedAreas(onScreen.shown(), next_);
    if (fitted && changed.empty()) return;  // the frame on screen already
    if (!fits(picture)) picture.reset(screenSize, ratio);
    picture.show(next_);
    {
        std::lock_guard guard(handOver_);
        front_ = back;
    }
    // The window repaints on its own thread; the call is dropped if it has gone.
    QRegion region;
    if (fitted && shown_ == Shown::asDrawn) {
        for (const PixelRect& a : changed) region += QRect(a.left, a.top, a.right - a.left, a.bottom - a.top);
    }
    QMetaObject::invokeMethod(
        &window_, [window = &window_, region] { region.isEmpty() ? window->update() : window->update(region); },
        Qt::QueuedConnection);
}

void QtFrameTarget::paintLatest(QPainter& painter, const QRegion& region) {
    std::lock_guard guard(handOver_);
    const QImage& frame = pictures_[static_cast<std::size_t>(front_)].image();
    const qreal ratio = frame.devicePixelRatio();
    for (const QRect& r : region) {
        painter.drawImage(QRectF(r), frame, QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio));
    }
}

void QtFrameTarget::paintLatest(QPainter& painter, const QRect& source, const QRect& target) {
    std::lock_guard guard(handOver_);
    const QImage& frame = pictures_[static_cast<std::size_t>(front_)].image();
    const qreal ratio = frame.devicePixelRatio();
    const QRectF pixels(source.x() * ratio, source.y() * ratio, source.width() * ratio, source.height() * ratio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(target), frame, pixels);
}

}  // namespace zt40
