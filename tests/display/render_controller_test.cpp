#include "credit_line.h"
#include "render_controller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "blank_canvas.h"
#include "pointer_targets.h"
#include "track_list.h"

namespace zt40 {
namespace {

using namespace std::chrono_literals;

// Draws nothing; counts the frames and the credit lines.
class CountingCanvas final : public BlankCanvas {
public:
    void text(int, int, std::string_view text, Rgb, Rgb) override {
        ++texts;
        frameTexts.emplace_back(text);
    }
    std::atomic<int> texts{0};
    std::vector<std::string> frameTexts;  // of the frame being drawn, read while the thread is parked
};

class CountingTarget final : public FrameTarget {
public:
    void drawFrame(const std::function<void(Canvas&)>& draw) override {
        canvas.frameTexts.clear();
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

// Lets a frame in progress finish: the thread is parked once it would
// take a hand-over.
void settle(RenderController& render) { EXPECT_TRUE(render.waitUntilIdle(5s)); }

// One hand-over that the parked thread takes, and its frame; returns the
// damage that hand-over brought back.
Damage exchangeWhenParked(RenderController& render) {
    settle(render);
    const Damage damage = render.exchange();
    settle(render);
    return damage;
}

TEST(RenderController, FramesComeBackWithTheirDecisions) {
    auto main = record();
    CountingTarget target;
    RenderController render(target);
    ASSERT_TRUE(render.start(*main));
    main->steamChest.pressure = 300000.0;  // steam lifts the valve heads
    exchangeWhenParked(render);
    exchangeWhenParked(render);
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
        EXPECT_EQ(exchangeWhenParked(render), Damage::none);
        EXPECT_FALSE(main->sandIntoSlip);  // handed over and cleared
        // The next hand-over reports what that frame decided.
        EXPECT_EQ(exchangeWhenParked(render), i == 6 ? Damage::runningGearBySanding : Damage::none)
            << "event " << i;
    }
}

TEST(RenderController, HiddenTextsLeaveButtonsTrackTableAndCreditLine) {
    auto main = record();
    TrackAllocator allocator;
    createFirstTrackPoint(*main, allocator);
    ensureDefaultTrackPoint(*main, allocator);
    main->trackTableShown = true;
    main->wheelSlip = true;
    main->hoverTarget = hover::regulatorMode;
    CountingTarget target;
    RenderController render(target);
    ASSERT_TRUE(render.start(*main));
    const auto shown = [&](const std::string& text) {
        settle(render);
        const auto& texts = target.canvas.frameTexts;
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    };
    const auto shownStarting = [&](const std::string& start) {
        settle(render);
        const auto& texts = target.canvas.frameTexts;
        return std::any_of(texts.begin(), texts.end(), [&](const std::string& t) { return t.starts_with(start); });
    };
    exchangeWhenParked(render);
    EXPECT_TRUE(shown("Schleudern!"));
    EXPECT_TRUE(shown("Reglerbedienung für Maus"));
    EXPECT_TRUE(shownStarting("Steigung=0 %o"));

    main->textHidden = true;
    exchangeWhenParked(render);
    EXPECT_FALSE(shown("Schleudern!"));
    EXPECT_FALSE(shown("Reglerbedienung für Maus"));
    EXPECT_FALSE(shownStarting("Steigung=0 %o"));
    EXPECT_TRUE(shown("Simulationsgeschwindigkeit"));
    EXPECT_TRUE(shown("Weg = 0.00"));
    EXPECT_TRUE(shown(creditLine()));
    freeTrackList(*main, allocator);
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
