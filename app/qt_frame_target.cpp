#include "qt_frame_target.h"

#include <QMetaObject>
#include <QPainter>

#include "qt_canvas.h"

namespace zt40 {

namespace {

QImage blankFrame(QSize screenSize, qreal devicePixelRatio) {
    QImage frame(screenSize * devicePixelRatio, QImage::Format_RGB32);
    frame.setDevicePixelRatio(devicePixelRatio);
    frame.fill(Qt::white);
    return frame;
}

}  // namespace

QtFrameTarget::QtFrameTarget(QWidget& window, QSize screenSize, qreal devicePixelRatio)
    : window_(window),
      back_(blankFrame(screenSize, devicePixelRatio)),
      screenSize_(screenSize),
      devicePixelRatio_(devicePixelRatio) {
    textFont();  // the font database is the GUI thread's: load the font before the first frame
    front_ = back_;
}

void QtFrameTarget::fitScreen(QSize screenSize, qreal devicePixelRatio) {
    std::lock_guard guard(handOver_);
    screenSize_ = screenSize;
    devicePixelRatio_ = devicePixelRatio;
}

void QtFrameTarget::drawFrame(const std::function<void(Canvas&)>& draw) {
    QSize screenSize;
    qreal ratio = 1.0;
    {
        std::lock_guard guard(handOver_);
        screenSize = screenSize_;
        ratio = devicePixelRatio_;
    }
    if (back_.size() != screenSize * ratio || back_.devicePixelRatio() != ratio) back_ = blankFrame(screenSize, ratio);
    {
        QPainter painter(&back_);
        QtCanvas canvas(painter);
        draw(canvas);
    }
    {
        std::lock_guard guard(handOver_);
        std::swap(back_, front_);
    }
    // The window repaints on its own thread; the call is dropped if it has gone.
    QMetaObject::invokeMethod(&window_, [window = &window_] { window->update(); }, Qt::QueuedConnection);
}

void QtFrameTarget::paintLatest(QPainter& painter) {
    std::lock_guard guard(handOver_);
    painter.drawImage(QPoint(0, 0), front_);
}

void QtFrameTarget::paintLatest(QPainter& painter, const QRect& source, const QRect& target) {
    std::lock_guard guard(handOver_);
    const qreal ratio = front_.devicePixelRatio();
    const QRectF pixels(source.x() * ratio, source.y() * ratio, source.width() * ratio, source.height() * ratio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(target), front_, pixels);
}

}  // namespace zt40
