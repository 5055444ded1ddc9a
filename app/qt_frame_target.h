#pragma once
// Frames drawn by the render thread into an image of screen size (at the
// screen's device resolution); the finished one is handed to the window,
// which paints it. The hand-over is the only shared state, under a mutex.

#include <QImage>
#include <QWidget>
#include <mutex>

#include "render_controller.h"

namespace zt40 {

class QtFrameTarget final : public FrameTarget {
public:
    // `window` is told to repaint when a frame is finished.
    QtFrameTarget(QWidget& window, QSize screenSize, qreal devicePixelRatio);

    void drawFrame(const std::function<void(Canvas&)>& draw) override;  // render thread
    void paintLatest(QPainter& painter);                                // main thread

private:
    QWidget& window_;
    QImage back_;
    std::mutex handOver_;  // guards front_ and fresh_
    QImage front_;
    bool fresh_ = false;
};

}  // namespace zt40
