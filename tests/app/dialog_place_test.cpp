#include "dialog_place.h"

#include <gtest/gtest.h>

#include <memory>

#include "window_layout.h"

namespace zt40 {
namespace {

// A dialog of 540 x 230 px opened from windows on a second screen of
// 1920 x 1040 usable pixels right of the first.
TEST(DialogPlace, BesideTheCabAndOnTheWindowsScreen) {
    const ScreenRect screen{1920, 0, 3840, 1040};
    const ScreenPoint cab{424, 540};
    struct Case {
        const char* what;
        ScreenRect frame;
        int expectedX, expectedY;
    } cases[] = {
        // Room left of the window: there, level with the cab's top.
        {"room on the left", {2600, 100, 3800, 1000}, 2600 - 540, 130},
        // A window at the screen's left edge, or maximised: under the cab.
        {"at the left edge", {1920, 0, 3120, 900}, 1920, 30 + 540},
        // A window low on the screen: pushed up so that all of it is on the screen.
        {"low on the screen", {1920, 500, 3120, 1040}, 1920, 1040 - 230},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ScreenRect client{c.frame.left, c.frame.top + 30, c.frame.right, c.frame.bottom};
        const ScreenPoint at = dialogPlace(c.frame, client, cab, 540, 230, screen);
        EXPECT_EQ(at.x, c.expectedX);
        EXPECT_EQ(at.y, c.expectedY);
        EXPECT_GE(at.x, screen.left);
        EXPECT_LE(at.y + 230, screen.bottom);
    }
    // Larger than the screen: its top left on it.
    const ScreenPoint big = dialogPlace({1920, 0, 3840, 1040}, {1920, 30, 3840, 1040}, cab, 2500, 1500, screen);
    EXPECT_EQ(big.x, 1920);
    EXPECT_EQ(big.y, 0);
}

TEST(DialogPlace, TheCabCornerFollowsTheCabsScale) {
    const auto record = std::make_unique<LocomotiveState>();
    LocomotiveState& state = *record;
    state.clientWidth = 1600;
    state.clientHeight = 1170;
    state.displayScale = designScale(1600, 1170);
    const ScreenPoint reference = cabCorner(state);
    EXPECT_EQ(reference.x, 423);  // 2120 mm at 5.0009 mm a pixel
    EXPECT_EQ(reference.y, 539);  // 2700 mm
    state.clientWidth = 3840;
    state.clientHeight = 2160;
    state.displayScale = designScale(3840, 2160);
    const ScreenPoint large = cabCorner(state);
    EXPECT_GT(large.x, 2120 / state.displayScale);  // the cab takes room beside it
}

}  // namespace
}  // namespace zt40
