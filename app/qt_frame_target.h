#pragma once
// Frames drawn by the render thread into an image the size of the screen
// the window is on (at that screen's device resolution); the finished one
// is handed to the window, which paints it. Each frame is recorded first
// and drawn only where it differs from the picture it goes onto; a frame
// that differs nowhere from the one on screen is not drawn at all, and the
// window repaints only what changed. The hand-over is the only shared
// state, under a mutex.

#include <QImage>
#include <QRegion>
#include <QWidget>
#include <array>
#include <mutex>

#include "frame_target.h"
#include "retained_picture.h"

namespace zt40 {

class QtFrameTarget final : public FrameTarget {
public:
    // How the window shows the frames: as they are, pixel for pixel, so
    // that only what changed needs repainting, or scaled.
    enum class Shown { asDrawn, scaled };

    // `window` is told to repaint when a frame is finished.
    QtFrameTarget(QWidget& window, QSize screenSize, qreal devicePixelRatio, Shown shown = Shown::asDrawn);

    // The screen the window is on now; the next frame is drawn to fit it.
    void fitScreen(QSize screenSize, qreal devicePixelRatio);                // main thread
    void drawFrame(const std::function<void(Canvas&)>& draw) override;  // render thread
    // The part `region` of the latest frame, where the window shows it.
    void paintLatest(QPainter& painter, const QRegion& region);  // main thread
    // The part `source` of the frame (client pixels) scaled into `target`.
    void paintLatest(QPainter& painter, const QRect& source, const QRect& target);  // main thread

private:
    QWidget& window_;
    const Shown shown_;
    DrawList next_;  // render thread only: the frame being recorded
    std::mutex handOver_;  // guards front_ and the screen's size and resolution
    CallPixels callPixels_;  // render thread only: serves both pictures
    std::array<RetainedPicture, 2> pictures_;
    int front_ = 0;  // the picture on screen; the other is drawn on
    QSize screenSize_;
    qreal devicePixelRatio_ = 1.0;
};

}  // namespace zt40
