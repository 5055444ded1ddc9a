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
    std::atomic<int> textCount{0};
    std::vector<std::string> frameTexts;  // of the frame being drawn, read while the thread is parked

protected:
    void drawText(int, int, std::string_view text, int, Rgb, Rgb) override {
        ++textCount;
        frameTexts.emplace_back(text);
    }
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

std::unique_ptr<FrameView> view() {
    auto view = std::make_unique<FrameView>();
    LocomotiveState& state = view->record;
    constructSteamSpaces(state);
    state.displayScale = 5.0;
    state.clientWidth = 1600;
    state.clientHeight = 1170;
    state.stepInterval = 0.015;
    state.fineTimer = true;
    return view;
}

// Lets a frame in progress finish: the thread is parked once it would
// take a hand-over.
void settle(RenderController& render) { EXPECT_TRUE(render.waitUntilIdle(5s)); }

TEST(RenderController, AViewIsDrawnOnceAndOneThatComesWhileDrawingIsPassedOver) {
    auto shown = view();
    CountingTarget target;
    RenderController render(target);
    ASSERT_TRUE(render.start());
    settle(render);
    ASSERT_TRUE(render.exchange(*shown));
    // The thread owns its copy until the frame is done: a second view is
    // passed over or taken after it, never drawn into the first.
    const bool second = render.exchange(*shown);
    settle(render);
    EXPECT_EQ(target.frames, second ? 2 : 1);
    EXPECT_GE(target.canvas.textCount, 1);  // the credit line
}

TEST(RenderController, HiddenTextsLeaveButtonsTrackTableAndCreditLine) {
    auto shown = view();
    LocomotiveState& main = shown->record;
    TrackAllocator allocator;
    createFirstTrackPoint(main, allocator);
    ensureDefaultTrackPoint(main, allocator);
    shown->trackTable = takeTrackTableSnapshot(main);
    freeTrackList(main, allocator);
    main.trackTableShown = true;
    main.wheelSlip = true;
    main.hoverTarget = hover::regulatorMode;
    CountingTarget target;
    RenderController render(target);
    ASSERT_TRUE(render.start());
    const auto texts = [&] {
        settle(render);
        EXPECT_TRUE(render.exchange(*shown));
        settle(render);
        return target.canvas.frameTexts;
    };
    const auto has = [](const std::vector<std::string>& texts, const std::string& text) {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    };
    const auto hasStart = [](const std::vector<std::string>& texts, const std::string& start) {
        return std::any_of(texts.begin(), texts.end(), [&](const std::string& t) { return t.starts_with(start); });
    };
    const auto withTexts = texts();
    EXPECT_TRUE(has(withTexts, "Schleudern!"));
    EXPECT_TRUE(has(withTexts, "Reglerbedienung für Maus"));
    EXPECT_TRUE(hasStart(withTexts, "Steigung=0 %o"));

    main.textHidden = true;
    const auto hidden = texts();
    EXPECT_FALSE(has(hidden, "Schleudern!"));
    EXPECT_FALSE(has(hidden, "Reglerbedienung für Maus"));
    EXPECT_FALSE(hasStart(hidden, "Steigung=0 %o"));
    EXPECT_TRUE(has(hidden, "Simulationsgeschwindigkeit"));
    EXPECT_TRUE(has(hidden, "Weg = 0.00"));
    EXPECT_TRUE(has(hidden, creditLine()));
}

}  // namespace
}  // namespace zt40
