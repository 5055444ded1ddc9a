#pragma once
// Owns the render thread and its private copy of the frame view. The main
// thread hands a view over in exchange(), only while the thread is parked;
// the thread draws it onto a target that shows it once it is finished.
// Nothing the drawing does flows back: the frame's decisions were taken
// before the view was handed over.

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "auto_reset_event.h"
#include "frame_sink.h"
#include "frame_target.h"

namespace zt40 {

class RenderController {
public:
    explicit RenderController(FrameTarget& target);
    ~RenderController();
    RenderController(const RenderController&) = delete;
    RenderController& operator=(const RenderController&) = delete;

    // Starts the thread; false when its copy could not be allocated.
    bool start();
    // Hands the view over and asks for a frame, unless a frame is still
    // being drawn; true when it was taken.
    bool exchange(const FrameView& view);
    // Waits until a hand-over would be taken (no frame is being drawn);
    // false when the time ran out first.
    bool waitUntilIdle(std::chrono::milliseconds timeout);

private:
    void threadMain();
    void stop();

    FrameTarget& target_;
    std::unique_ptr<FrameView> view_;
    AutoResetEvent frameRequest_;
    AutoResetEvent threadEnded_;
    std::mutex lock_;  // guards busy_ and stopRequested_
    bool busy_ = true;
    std::condition_variable idle_;  // told when busy_ clears
    bool stopRequested_ = false;
    std::thread thread_;
};

}  // namespace zt40
