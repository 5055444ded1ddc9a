#pragma once
// A picture of a headless run: the program's own frames, drawn by its
// render thread into an image of the window's size instead of a window,
// at the device pixel ratio of the screen it stands for.

#include <QImage>
#include <QString>
#include <atomic>
#include <mutex>

#include "scenario.h"

namespace zt40 {

class ImageScreen final : public ScenarioScreen {
public:
    // A window `width` x `height` px on a screen with `pixelRatio` device
    // pixels a pixel; the picture has the device's pixels.
    ImageScreen(int width, int height, double pixelRatio = 1.0);

    void drawFrame(const std::function<void(Canvas&)>& draw) override;  // render thread
    int framesShown() const override { return framesShown_.load(); }
    int clientWidth() const override { return width_; }
    int clientHeight() const override { return height_; }
    // Writes the last finished frame as PNG; false when it cannot.
    bool save(const QString& path) const;

private:
    const int width_, height_;         // px
    QImage back_;                      // the render thread's alone
    mutable std::mutex handOver_;      // guards front_
    QImage front_;
    std::atomic<int> framesShown_ = 0;
};

}  // namespace zt40
