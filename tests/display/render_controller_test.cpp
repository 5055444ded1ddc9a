#include "render_controller.h"

#include <gtest/gtest.h>

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

// Exchanges until the render thread has taken one; returns its damage code.
int exchangeWhenParked(RenderController& render, CountingTarget& target) {
    const int frames = target.frames;
    int damage = 0;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (std::chrono::steady_clock::now() < deadline) {
        damage = render.exchange();
        if (target.frames > frames) break;
        std::this_thread::sleep_for(100us);
    }
    // Wait for that frame to end so its results are there for the next one.
    while (std::chrono::steady_clock::now() < deadline && target.frames == frames) std::this_thread::sleep_for(100us);
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
    int damage = 0;
    for (int i = 0; i < 6; ++i) {
        main->sandIntoSlip = true;
        exchangeWhenParked(render, target);
        EXPECT_FALSE(main->sandIntoSlip);  // handed over and cleared
        damage = exchangeWhenParked(render, target);
    }
    EXPECT_EQ(damage, 3);
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
