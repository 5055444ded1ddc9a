#pragma once
// A keyboard under a driver's hands, on a clock: keys pressed, held and let
// go, and the key messages the window's logic gets from them, with the
// repeats of held keys as the window sees them. The Qt window repeats held
// Shift and Control itself (the desktop does not); every other key but Alt
// repeats by the desktop's typematic, the last one pressed only. Both start
// after the same delay and go on at the same rate. The virtual platform
// delivers these messages in time order with its timers.

#include <cstdint>
#include <optional>
#include <vector>

#include "window_messages.h"

namespace zt40 {

inline constexpr int keyRepeatDelayMs = 500;  // ms before a held key repeats
inline constexpr int keyRepeatRateHz = 30;     // repeats per second after that, Qt's default
inline constexpr int keyRepeatIntervalMs = 1000 / keyRepeatRateHz;  // ms, as the window times it

struct KeyEvent {
    std::int64_t at;  // ms of the clock
    KeyMessage message;
    int virtualKey;
};

class HeldKeys {
public:
    // Presses a key at `at` (ms of the clock, now or later) and lets it go
    // `holdMs` later. A key still down then is not pressed again.
    void press(int virtualKey, std::int64_t at, std::int64_t holdMs);
    // Lets a key go at `at`, before its time.
    void release(int virtualKey, std::int64_t at);
    bool held(int virtualKey) const;  // down now

    // When the next message is due, if any.
    std::optional<std::int64_t> nextAt() const;
    // The next message in time order, once the caller's clock has reached
    // it; none when that was a press on a key still down.
    std::optional<KeyEvent> take();

private:
    struct Press {
        std::int64_t at;  // ms
        int virtualKey;
        std::int64_t holdMs;
    };
    struct Held {
        int virtualKey;
        std::int64_t releaseAt;  // ms
    };
    struct Repeat {
        int virtualKey = 0;  // 0: none
        std::int64_t at = 0;  // ms
    };

    bool altDown() const;
    std::optional<KeyEvent> takePress();
    KeyEvent takeRelease(std::size_t index);
    KeyEvent takeRepeat(Repeat& repeat, KeyMessage message);

    std::vector<Press> presses_;  // not yet down, in time order
    std::vector<Held> held_;      // down
    Repeat modifier_;  // Shift or Control, repeated by the window
    Repeat typed_;     // any other key, repeated by the desktop
};

}  // namespace zt40
