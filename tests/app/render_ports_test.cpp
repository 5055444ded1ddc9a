// The headless runner's display and the program's render thread take the
// record in the same hand-over: the same inputs bring the same decisions
// back into the main record, tick by tick, up to the workshop.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <thread>

#include "blank_canvas.h"
#include "cab_driving.h"
#include "inline_render.h"
#include "inline_simulation.h"
#include "parked_render.h"
#include "render_controller.h"
#include "threaded_render.h"
#include "virtual_platform.h"
#include "window_logic.h"

namespace zt40 {
namespace {

class BlankFrames final : public FrameTarget {
public:
    void drawFrame(const std::function<void(Canvas&)>& draw) override {
        BlankCanvas canvas;
        draw(canvas);
    }
};

struct Drive {
    explicit Drive(std::unique_ptr<RenderPort> render)
        : window(platform,
                 ShellParts{std::make_unique<InlineSimulation>(), std::move(render),
                            std::make_unique<CabDriving>(sound)},
                 ShellOptions{{}, 7}) {
        window.onCreate();
        window.onSize(1600, 1170);
        window.onSetFocus();
    }
    VirtualPlatform platform;
    SilentSound sound;
    MainWindowLogic window;
};

// What the display decides and hands back, with the state those decisions steer.
void expectSameDecisions(const LocomotiveState& inlineRun, const LocomotiveState& threadedRun, int tick) {
    SCOPED_TRACE(::testing::Message() << "tick " << tick);
    EXPECT_EQ(inlineRun.pistonX, threadedRun.pistonX);
    EXPECT_EQ(inlineRun.valveHeadRearX, threadedRun.valveHeadRearX);
    EXPECT_EQ(inlineRun.valveHeadFrontX, threadedRun.valveHeadFrontX);
    EXPECT_EQ(inlineRun.handleX, threadedRun.handleX);
    EXPECT_EQ(inlineRun.handleY, threadedRun.handleY);
    EXPECT_EQ(inlineRun.valvesEngaged, threadedRun.valvesEngaged);
    EXPECT_EQ(inlineRun.simHold, threadedRun.simHold);
    EXPECT_EQ(inlineRun.valveKnock, threadedRun.valveKnock);
    EXPECT_EQ(inlineRun.reverserMoved, threadedRun.reverserMoved);
    EXPECT_EQ(inlineRun.sandIntoSlip, threadedRun.sandIntoSlip);
    EXPECT_EQ(inlineRun.simTime, threadedRun.simTime);
    EXPECT_EQ(inlineRun.trainSpeed, threadedRun.trainSpeed);
}

TEST(RenderPorts, HeadlessAndThreadedDisplaysDecideAlike) {
    BlankFrames frames;
    Drive headless(std::make_unique<InlineRender>());
    Drive threaded(std::make_unique<ParkedRender>(frames));
    // A start on the level, the reverser wound back and forth, repaints that
    // hold the model, and sand into slipping wheels until the gear breaks.
    for (Drive* run : {&headless, &threaded}) {
        LocomotiveState& s = run->window.state();
        s.trainWeight = 300;
        s.trackAutomatic = false;
        s.gradient = 0;
        s.cylinderWallTemp = 400.0;  // K
        s.pilotValve = 115;
    }
    int sandEvents = 0;
    for (int tick = 0; tick < 4000 && !headless.window.ended(); ++tick) {
        for (Drive* run : {&headless, &threaded}) {
            LocomotiveState& s = run->window.state();
            if (tick % 300 == 100) s.reverser = tick % 600 == 100 ? -160 : -80;
            if (tick % 500 == 250) run->window.onPaint();
            if (tick >= 1000 && tick % 200 == 0) s.sandIntoSlip = true;
            ASSERT_TRUE(run->platform.runNext(run->window));
        }
        if (tick >= 1000 && tick % 200 == 0) ++sandEvents;
        expectSameDecisions(headless.window.state(), threaded.window.state(), tick);
        if (::testing::Test::HasFailure()) return;
    }
    // Both ended in the workshop, with the same message.
    EXPECT_GE(sandEvents, 6);
    EXPECT_TRUE(headless.window.ended());
    EXPECT_TRUE(threaded.window.ended());
    ASSERT_FALSE(headless.platform.messages.empty());
    EXPECT_EQ(headless.platform.messages.back().caption, "Werkstatt");
    ASSERT_EQ(headless.platform.messages.size(), threaded.platform.messages.size());
    EXPECT_EQ(headless.platform.messages.back().text, threaded.platform.messages.back().text);
}

// Frames that wait at a gate before they are drawn: the display stays busy
// for as long as the test likes.
class GatedFrames final : public FrameTarget {
public:
    void drawFrame(const std::function<void(Canvas&)>& draw) override {
        std::unique_lock guard(mutex_);
        waiting_ = true;
        opened_.wait_for(guard, std::chrono::seconds(5), [this] { return open_; });
        waiting_ = false;
        guard.unlock();
        BlankCanvas canvas;
        draw(canvas);
    }
    void setOpen(bool open) {
        std::lock_guard guard(mutex_);
        open_ = open;
        opened_.notify_all();
    }
    bool waiting() {
        std::lock_guard guard(mutex_);
        return waiting_;
    }

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = true;
    bool waiting_ = false;
};

TEST(RenderPorts, APaintWhileAFrameIsDrawnHoldsTheModelUntilTheDisplayTakesTheRecord) {
    GatedFrames frames;
    Drive run(std::make_unique<ThreadedRender>(frames));
    LocomotiveState& s = run.window.state();
    const auto ticksUntil = [&](const auto& condition) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!condition() && std::chrono::steady_clock::now() < deadline) {
            if (!run.platform.runNext(run.window)) return false;
            std::this_thread::yield();
        }
        return condition();
    };
    ASSERT_TRUE(ticksUntil([&] { return s.simTime > 0.1; }));

    // A frame stuck at the gate; the paint's hold cannot be taken back.
    frames.setOpen(false);
    ASSERT_TRUE(ticksUntil([&] { return frames.waiting(); }));
    run.window.onPaint();
    EXPECT_TRUE(s.simHold);
    ASSERT_TRUE(run.platform.runNext(run.window));  // brings the batch begun before the paint
    const double held = s.simTime;  // s
    for (int tick = 0; tick < 50; ++tick) ASSERT_TRUE(run.platform.runNext(run.window));
    EXPECT_EQ(s.simTime, held);

    // The display takes the record, the frame releases the hold, and the model runs on.
    frames.setOpen(true);
    EXPECT_TRUE(ticksUntil([&] { return s.simTime > held; }));
    EXPECT_FALSE(s.simHold);
}

}  // namespace
}  // namespace zt40
