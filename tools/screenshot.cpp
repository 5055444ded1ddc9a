#include "screenshot.h"

#include <QPainter>

#include "qt_canvas.h"

namespace zt40 {

ImageScreen::ImageScreen(int width, int height)
    : back_(width, height, QImage::Format_RGB32), front_(width, height, QImage::Format_RGB32) {
    back_.fill(Qt::white);
    front_.fill(Qt::white);
}

void ImageScreen::drawFrame(const std::function<void(Canvas&)>& draw) {
    {
        QPainter painter(&back_);
        QtCanvas canvas(painter);
        draw(canvas);
    }
    {
        std::lock_guard guard(handOver_);
        front_ = back_.copy();
    }
    ++framesShown_;
}

bool ImageScreen::save(const QString& path) const {
    std::lock_guard guard(handOver_);
    return front_.save(path, "PNG");
}

}  // namespace zt40
