#pragma once
// Frames drawn by the render thread into an image the size of the screen
// the window is on (at that screen's device resolution); the finished one
// is handed to the window, which paints it. The hand-over is the only
// shared state, under a mutex.

#include <QImage>
#include <QWidget>
#include <mutex>

#include "frame_target.h"

namespace zt40 {

class QtFrameTarget final : public FrameTarget {
public:
    // `window` is told to repaint when a frame is finished.
    QtFrameTarget(QWidget& window, QSize screenSize, qreal devicePixelRatio);

    // The screen the window is on now; the next frame is drawn to fit it.
    void fitScreen(QSize screenSize, qreal devicePixelRatio);                // main thread
    void drawFrame(const std::function<void(Canvas&)>& draw) override;  // render thread
    void paintLatest(QPainter& painter);                                // main thread
    // The part `source` of the frame (client pixels) scaled into `target`.
    void paintLatest(QPainter& painter, const QRect& source, const QRect& target);  // main thread

private:
    QWidget& window_;
    QImage back_;
    std::mutex handOver_;  // guards front_ and the screen's size and resolution
    QImage front_;
    QSize screenSize_;
    qreal devicePixelRatio_ = 1.0;
};

}  // namespace zt40
