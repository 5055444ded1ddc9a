#include "render_controller.h"

#include <array>
#include <chrono>
#include <new>

#include "bar_columns.h"
#include "cab_panel.h"
#include "credit_line.h"
#include "frame_handover.h"
#include "frame_logic.h"
#include "indicator_panel.h"
#include "moving_average.h"
#include "side_view.h"
#include "text_panels.h"
#include "track_table.h"

namespace zt40 {

RenderController::RenderController(FrameTarget& target)
    : target_(target), renderCopy_(new (std::nothrow) LocomotiveState{}) {
    if (renderCopy_) constructSteamSpaces(*renderCopy_);
}

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

bool RenderController::start(LocomotiveState& mainRecord) {
    if (!renderCopy_ || thread_.joinable()) return false;
    mainRecord_ = &mainRecord;
    *renderCopy_ = mainRecord;
    thread_ = std::thread(&RenderController::threadMain, this);
    return true;
}

Damage RenderController::exchange() {
    {
        std::lock_guard guard(lock_);
        if (busy_) return Damage::none;
    }
    LocomotiveState& main = *mainRecord_;
    if (!(main.displayScale > 0.0)) return Damage::none;

    const Damage damage = damage_;  // what the last finished frame found
    handOverToFrame(main, *renderCopy_);
    trackTable_ = takeTrackTableSnapshot(main);  // the list itself stays the main thread's
    {
        std::lock_guard guard(lock_);
        busy_ = true;  // the frame owns the copy from here, before the thread wakes
    }
    frameRequest_.signal();
    return damage;
}

bool RenderController::waitUntilIdle(std::chrono::milliseconds timeout) {
    std::unique_lock guard(lock_);
    return idle_.wait_for(guard, timeout, [this] { return !busy_; });
}

void RenderController::threadMain() {
    LocomotiveState& copy = *renderCopy_;
    std::array<MovingAverage, 4> averages;  // heating-surface load, acceleration, power, water per km
    const int windows[] = {80, 80, 150, 100};
    for (int i = 0; i < 4; ++i) averages[i].start(windows[i]);
    FrameLogic logic(copy);
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
        // Preparation, then the picture, then the warning's count-down.
        const FramePreparation frame = logic.prepare(copy);
        if (frame.accounted) {
            averages[0].push(frame.samples.heatingSurfaceLoad);
            averages[1].push(frame.samples.acceleration);
            averages[2].push(frame.samples.wheelPower);
            averages[3].push(frame.samples.waterPerKm);
        }
        FrameState& state = logic.state();
        const AverageMeans means{averages[0].publishedMean(), averages[1].publishedMean(),
                                 averages[2].publishedMean(), averages[3].publishedMean()};
        target_.drawFrame([&](Canvas& canvas) {
            canvas.rectangle(-1, -1, copy.clientWidth + 1, copy.clientHeight + 1, Pen{}, Brush{});
            drawGradientAndPlumes(canvas, copy, frame);
            drawRightHandPanel(canvas, copy, means);
            if (copy.trackTableShown) drawTrackTable(canvas, trackTable_, copy);
            drawCabPanel(canvas, copy, state);
            drawButtonBar(canvas, copy);
            drawSideView(canvas, copy, state, frame);
            logic.cylinderDrawn(copy);
            drawTextStage(canvas, logic.textStage(copy, means));
            canvas.text(0, copy.clientHeight - 17, creditLine(), black, white);
        });
        const Damage damage = logic.finish();
        bool stop = false;
        {
            std::lock_guard guard(lock_);
            damage_ = damage;
            busy_ = false;
            stop = stopRequested_;
            idle_.notify_all();
        }
        if (stop) break;
    }
    threadEnded_.signal();
}

}  // namespace zt40
