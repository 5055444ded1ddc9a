#include "screenshot.h"

#include <QPainter>

#include "qt_canvas.h"

namespace zt40 {

namespace {

QImage blankPicture(int width, int height, double pixelRatio) {
    QImage picture(QSize(width, height) * pixelRatio, QImage::Format_RGB32);
    picture.setDevicePixelRatio(pixelRatio);
    picture.fill(Qt::white);
    return picture;
}

}  // namespace

ImageScreen::ImageScreen(int width, int height, double pixelRatio)
    : width_(width),
      height_(height),
      back_(blankPicture(width, height, pixelRatio)),
      front_(blankPicture(width, height, pixelRatio)) {}

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
