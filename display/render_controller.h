#pragma once
// Owns the render thread and its private copy of the whole record. The main
// thread hands the record over in exchange(), only while the thread is
// parked, and takes back what the frame decided (valve heads, knob
// positions, the hold, the damage). Each frame is drawn onto a target
// that shows it once it is finished.

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "auto_reset_event.h"
#include "damage.h"
#include "frame_target.h"
#include "locomotive_state.h"
#include "track_list.h"

namespace zt40 {

class RenderController {
public:
    explicit RenderController(FrameTarget& target);
    ~RenderController();
    RenderController(const RenderController&) = delete;
    RenderController& operator=(const RenderController&) = delete;

    // Copies the main record and starts the thread; false when the copy
    // could not be allocated.
    bool start(LocomotiveState& mainRecord);
    // One hand-over and a frame request; returns the damage the last
    // finished frame found.
    Damage exchange();
    // Waits until a hand-over would be taken (no frame is being drawn);
    // false when the time ran out first.
    bool waitUntilIdle(std::chrono::milliseconds timeout);

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
    std::condition_variable idle_;  // told when busy_ clears
    bool stopRequested_ = false;
    Damage damage_ = Damage::none;  // written by the thread at the end of a frame
    std::thread thread_;
};

}  // namespace zt40
