#include "render_controller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace zt40 {
namespace {

using namespace std::chrono_literals;

// Draws nothing; counts the frames and the credit lines.
class CountingCanvas final : public Canvas {
public:
    void line(PixelPoint, PixelPoint, const Pen&) override {}
    void polyline(const std::vector<PixelPoint>&, const Pen&) override {}
    void rectangle(int, int, int, int, const Pen&, const Brush&) override {}
    void ellipse(int, int, int, int, const Pen&, const Brush&) override {}
    void roundRect(int, int, int, int, int, int, const Pen&, const Brush&) override {}
    void polygon(const std::vector<PixelPoint>&, const Pen&, const Brush&) override {}
    void arc(int, int, int, int, PixelPoint, PixelPoint, const Pen&) override {}
    void chord(int, int, int, int, PixelPoint, PixelPoint, const Pen&, const Brush&) override {}
    void text(int, int, std::string_view, Rgb, Rgb) override { ++texts; }
    std::atomic<int> texts{0};
};

class CountingTarget final : public FrameTarget {
public:
    void drawFrame(const std::function<void(Canvas&)>& draw) override {
        draw(canvas);
        ++frames;
    }
    CountingCanvas canvas;
    std::atomic<int> frames{0};
};

std::unique_ptr<LocomotiveState> record() {
    auto state = std::make_unique<LocomotiveState>();
    constructSteamSpaces(*state);
    state->displayScale = 5.0;
    state->clientWidth = 1600;
    state->clientHeight = 1170;
    state->stepInterval = 0.015;
    state->fineTimer = true;
    return state;
}

// Lets a frame in progress finish: frames run only when requested, so once
// the count stands still the thread is parked.
void settle(const CountingTarget& target) {
    int seen = -1;
    while (seen != target.frames) {
        seen = target.frames;
        std::this_thread::sleep_for(5ms);
    }
}

// One hand-over that the parked thread takes, and its frame; returns the
// damage code that hand-over brought back.
int exchangeWhenParked(RenderController& render, CountingTarget& target) {
    settle(target);
    const int frames = target.frames;
    int damage = 0;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (target.frames == frames && std::chrono::steady_clock::now() < deadline) {
        damage = std::max(damage, render.exchange());
        std::this_thread::sleep_for(100us);
    }
    return damage;
}

TEST(RenderController, FramesComeBackWithTheirDecisions) {
    auto main = record();
    CountingTarget target;
    RenderController render(target);
    ASSERT_TRUE(render.start(*main));
    main->steamChest.pressure = 300000.0;  // steam lifts the valve heads
    exchangeWhenParked(render, target);
    exchangeWhenParked(render, target);
    EXPECT_TRUE(main->valvesEngaged);
    EXPECT_GT(main->pistonX, 0);
    EXPECT_GT(main->valveHeadFrontX, main->valveHeadRearX);
    EXPECT_GE(target.canvas.texts, 1);  // the credit line
}

TEST(RenderController, EachSandEventReachesOneFrameAndTheSixthBreaksTheGear) {
    auto main = record();
    CountingTarget target;
    RenderController render(target);
    ASSERT_TRUE(render.start(*main));
    for (int i = 1; i <= 6; ++i) {
        main->sandIntoSlip = true;
        EXPECT_EQ(exchangeWhenParked(render, target), 0);
        EXPECT_FALSE(main->sandIntoSlip);  // handed over and cleared
        // The next hand-over reports what that frame decided.
        EXPECT_EQ(exchangeWhenParked(render, target), i == 6 ? 3 : 0) << "event " << i;
    }
}

TEST(RenderController, ATooSmallWindowGetsNoFrames) {
    auto main = record();
    CountingTarget target;
    RenderController render(target);
    ASSERT_TRUE(render.start(*main));
    main->displayScale = 0.0;
    for (int i = 0; i < 20; ++i) {
        render.exchange();
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(target.frames, 0);
}

}  // namespace
}  // namespace zt40
