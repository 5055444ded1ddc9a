#include "render_controller.h"

#include <array>
#include <new>

#include "display_memory.h"
#include "frame_picture.h"
#include "moving_average.h"

namespace zt40 {

RenderController::RenderController(FrameTarget& target)
    : target_(target), view_(new (std::nothrow) FrameView{}) {}

RenderController::~RenderController() { stop(); }

void RenderController::stop() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard guard(lock_);
        stopRequested_ = true;
    }
    frameRequest_.signal();
    threadEnded_.waitFor(std::chrono::milliseconds(1000));
    thread_.join();  // a frame takes milliseconds: it ends with the one it draws
}

bool RenderController::start() {
    if (!view_ || thread_.joinable()) return false;
    thread_ = std::thread(&RenderController::threadMain, this);
    return true;
}

bool RenderController::exchange(const FrameView& view) {
    {
        std::lock_guard guard(lock_);
        if (busy_ || !thread_.joinable()) return false;
    }
    *view_ = view;
    {
        std::lock_guard guard(lock_);
        busy_ = true;  // the frame owns the copy from here, before the thread wakes
    }
    frameRequest_.signal();
    return true;
}

bool RenderController::waitUntilIdle(std::chrono::milliseconds timeout) {
    std::unique_lock guard(lock_);
    return idle_.wait_for(guard, timeout, [this] { return !busy_; });
}

void RenderController::threadMain() {
    const FrameView& view = *view_;
    std::array<MovingAverage, 4> averages;  // heating-surface load, acceleration, power, water per km
    const int windows[] = {80, 80, 150, 100};
    for (int i = 0; i < 4; ++i) averages[i].start(windows[i]);
    DisplayMemory memory;
    {
        std::lock_guard guard(lock_);
        busy_ = false;
        idle_.notify_all();
    }
    for (;;) {
        frameRequest_.wait();
        {
            std::lock_guard guard(lock_);
            if (stopRequested_) break;
        }
        const FramePreparation& frame = view.preparation;
        if (frame.accounted) {
            averages[0].push(frame.samples.heatingSurfaceLoad);
            averages[1].push(frame.samples.acceleration);
            averages[2].push(frame.samples.wheelPower);
            averages[3].push(frame.samples.waterPerKm);
        }
        memory.strip.take(view.record);
        const AverageMeans means{averages[0].publishedMean(), averages[1].publishedMean(),
                                 averages[2].publishedMean(), averages[3].publishedMean()};
        target_.drawFrame([&](Canvas& canvas) { drawFramePicture(canvas, view, memory, means); });
        bool stop = false;
        {
            std::lock_guard guard(lock_);
            busy_ = false;
            stop = stopRequested_;
            idle_.notify_all();
        }
        if (stop) break;
    }
    threadEnded_.signal();
}

}  // namespace zt40
