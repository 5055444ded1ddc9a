#pragma once
// Owns the render thread and its private copy of the whole record. The main
// thread hands the record over in exchange(), only while the thread is
// parked, and takes back what the frame decided (valve heads, knob
// positions, the hold, the damage code). Each frame is drawn onto a target
// that shows it once it is finished.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "auto_reset_event.h"
#include "canvas.h"
#include "locomotive_state.h"
#include "track_list.h"

namespace zt40 {

class FrameTarget {
public:
    virtual ~FrameTarget() = default;
    // Draws one frame onto the back buffer with `draw`, then shows it.
    virtual void drawFrame(const std::function<void(Canvas&)>& draw) = 0;
};

class RenderController {
public:
    explicit RenderController(FrameTarget& target);
    ~RenderController();
    RenderController(const RenderController&) = delete;
    RenderController& operator=(const RenderController&) = delete;

    // Copies the main record and starts the thread; false when the copy
    // could not be allocated.
    bool start(LocomotiveState& mainRecord);
    // One hand-over and a frame request; returns the damage code the last
    // finished frame reported (0 none).
    int exchange();

private:
    void threadMain();
    void stop();

    FrameTarget& target_;
    std::unique_ptr<LocomotiveState> renderCopy_;
    TrackTableSnapshot trackTable_;  // the points around the train, with the copy
    LocomotiveState* mainRecord_ = nullptr;
    AutoResetEvent frameRequest_;
    AutoResetEvent threadEnded_;
    std::mutex lock_;  // guards busy_ and stopRequested_
    bool busy_ = true;
    bool stopRequested_ = false;
    std::uint8_t damageCode_ = 0;  // written by the thread at the end of a frame
    std::thread thread_;
};

}  // namespace zt40
