// The display only carries what the engine decided: a drive shown on the
// program's render thread, which passes over the frames it is too busy
// for, takes every decision the same as a drive without a display, tick by
// tick, up to the workshop.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "blank_canvas.h"
#include "engine_fixtures.h"
#include "threaded_render.h"

namespace zt40 {
namespace {

// Frames that take their time, so that the display is often busy.
class SlowFrames final : public FrameTarget {
public:
    void drawFrame(const std::function<void(Canvas&)>& draw) override {
        BlankCanvas canvas;
        draw(canvas);
        std::this_thread::sleep_for(std::chrono::microseconds(300));
    }
};

void expectSameDecisions(const LocomotiveState& without, const LocomotiveState& shown, int tick) {
    SCOPED_TRACE(::testing::Message() << "tick " << tick);
    EXPECT_EQ(without.pistonX, shown.pistonX);
    EXPECT_EQ(without.valveHeadRearX, shown.valveHeadRearX);
    EXPECT_EQ(without.valveHeadFrontX, shown.valveHeadFrontX);
    EXPECT_EQ(without.valvesEngaged, shown.valvesEngaged);
    EXPECT_EQ(without.valveKnock, shown.valveKnock);
    EXPECT_EQ(without.reverserMoved, shown.reverserMoved);
    EXPECT_EQ(without.simTime, shown.simTime);
    EXPECT_EQ(without.trainSpeed, shown.trainSpeed);
}

TEST(ThreadedDisplay, ADriveShownOnTheRenderThreadDecidesAsOneWithout) {
    SlowFrames frames;
    const auto setUp = [](LocomotiveState& s) {
        s.trainWeight = 300;
        s.cylinderWallTemp = 400.0;  // K
    };
    testing::EngineDrive without(setUp, 7);
    testing::EngineDrive shown(setUp, 7, std::make_unique<ThreadedRender>(frames));
    // A start on the level, the reverser wound back and forth, repaints, and
    // sand into slipping wheels until the gear breaks.
    for (testing::EngineDrive* run : {&without, &shown}) run->state().pilotValve = 115;
    int sandEvents = 0;
    for (int tick = 0; tick < 4000 && !without.engine().damaged(); ++tick) {
        for (testing::EngineDrive* run : {&without, &shown}) {
            LocomotiveState& s = run->state();
            if (tick % 300 == 100) s.reverser = tick % 600 == 100 ? -160 : -80;
            if (tick % 500 == 250) run->engine().onPaint();
            if (tick >= 1000 && tick % 200 == 0) s.sandIntoSlip = true;
            ASSERT_TRUE(run->clock().runNext(run->engine()));
        }
        if (tick >= 1000 && tick % 200 == 0) ++sandEvents;
        expectSameDecisions(without.state(), shown.state(), tick);
        if (::testing::Test::HasFailure()) return;
    }
    // Both ended in the workshop, for the same reason.
    EXPECT_GE(sandEvents, 6);
    EXPECT_TRUE(shown.engine().damaged());
    EXPECT_EQ(without.clock().workshopDamage, Damage::runningGearBySanding);
    EXPECT_EQ(shown.clock().workshopDamage, without.clock().workshopDamage);
}

}  // namespace
}  // namespace zt40
