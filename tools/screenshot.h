#pragma once
// A picture of a headless run: the program's own frames, drawn by its
// render thread into an image of the window's size instead of a window.

#include <QImage>
#include <QString>
#include <atomic>
#include <mutex>

#include "scenario.h"

namespace zt40 {

class ImageScreen final : public ScenarioScreen {
public:
    ImageScreen(int width, int height);

    void drawFrame(const std::function<void(Canvas&)>& draw) override;  // render thread
    int framesShown() const override { return framesShown_.load(); }
    // Writes the last finished frame as PNG; false when it cannot.
    bool save(const QString& path) const;

private:
    QImage back_;                      // the render thread's alone
    mutable std::mutex handOver_;      // guards front_
    QImage front_;
    std::atomic<int> framesShown_ = 0;
};

}  // namespace zt40
