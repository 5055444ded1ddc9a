#include "qt_frame_target.h"

#include <QMetaObject>
#include <QPainter>

#include "qt_canvas.h"

namespace zt40 {

QtFrameTarget::QtFrameTarget(QWidget& window, QSize screenSize, qreal devicePixelRatio)
    : window_(window), back_(screenSize * devicePixelRatio, QImage::Format_RGB32) {
    back_.setDevicePixelRatio(devicePixelRatio);
    back_.fill(Qt::white);
    textFont();  // the font database is the GUI thread's: load the font before the first frame
    front_ = back_;
}

void QtFrameTarget::drawFrame(const std::function<void(Canvas&)>& draw) {
    {
        QPainter painter(&back_);
        QtCanvas canvas(painter);
        draw(canvas);
    }
    {
        std::lock_guard guard(handOver_);
        std::swap(back_, front_);
        fresh_ = true;
    }
    // Posted by name: the window repaints on its own thread.
    QMetaObject::invokeMethod(&window_, "update", Qt::QueuedConnection);
}

void QtFrameTarget::paintLatest(QPainter& painter) {
    std::lock_guard guard(handOver_);
    painter.drawImage(QPoint(0, 0), front_);
    fresh_ = false;
}

}  // namespace zt40
