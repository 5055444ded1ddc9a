#pragma once
// What a mouse command asks of the main window (its result code), and the
// repeat messages WM_USER+0..8 that timers 2 and 5 post while a button is
// held on a control.

#include <optional>

namespace zt40 {

enum class MouseResult : int {
    none = 0,
    reverserDrag = 1,       // drag moves through every 20 ms
    regulatorDrag = 2,      // the next move through at once
    brakeDrag = 3,          // drag moves every 20 ms, and the brake steps
    changed = 4,            // the display follows
    weightDownHeld = 5,     // repeat every 50 ms
    weightUpHeld = 6,       // repeat every 50 ms
    waterFillHeld = 7,      // timer 5, every 50 ms
    released = 8,           // a button went up: repeats and drags end
    injectorHeld = 9,       // repeat every 30 ms
    gradientHeld = 10,      // repeat every 80 ms
    firingHeld = 11,        // repeat every 80 ms
    dataDialog = 12,
    throttleHeld = 13,      // repeat every 20 ms
    blowerHeld = 14,        // repeat every 20 ms
    injectionHeld = 15,     // repeat every 20 ms
    speedRaised = 16,       // a tick at once
    autoControlDialog = 17,
};

// Offsets of the repeat messages after WM_USER; they carry no position.
namespace repeat {
enum Message : int {
    gradient = 0,
    weightDown = 1,
    weightUp = 2,
    waterFill = 3,
    injector = 4,
    firing = 5,
    throttle = 6,
    blower = 7,
    injection = 8,
};
}  // namespace repeat

// The repeat message timer 2 posts for a held command, if it has one.
constexpr std::optional<repeat::Message> repeatMessageOf(MouseResult result) {
    switch (result) {
        case MouseResult::gradientHeld: return repeat::gradient;
        case MouseResult::weightDownHeld: return repeat::weightDown;
        case MouseResult::weightUpHeld: return repeat::weightUp;
        case MouseResult::injectorHeld: return repeat::injector;
        case MouseResult::firingHeld: return repeat::firing;
        case MouseResult::throttleHeld: return repeat::throttle;
        case MouseResult::blowerHeld: return repeat::blower;
        case MouseResult::injectionHeld: return repeat::injection;
        default: return std::nullopt;
    }
}

// What the command logic hands back: the result, and the virtual key a
// wheel turn over a control stands for (0 none). The window runs that key
// through its key path, as it does a pressed key: the key latch gives the
// turn the keys' detents at mid gear and on the level and makes a toggle
// act once, a turn within 200 ms of the last takes the keys' coarse steps,
// and the release timers let go of the latch and settle the brake handle.
struct MouseOutcome {
    MouseResult result = MouseResult::none;
    int key = 0;
};

}  // namespace zt40
