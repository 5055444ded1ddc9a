#pragma once
// What the engine needs from whatever carries it (the window, or a virtual
// clock in the headless runner and the tests): the timers of its timer
// table and the messages it posts to itself, a steady clock, the cursor,
// the two dialogs, and the workshop at the end of a drive.

#include <cstdint>

#include "cursor_shape.h"
#include "damage.h"
#include "random15.h"

namespace zt40 {

class EngineHost {
public:
    virtual ~EngineHost() = default;

    // Timers: (re)start timer `id` with a period, or stop it.
    virtual void setTimer(int id, int periodMs) = 0;
    virtual void killTimer(int id) = 0;
    // A timer message with `id` posted to the queue.
    virtual void postTimer(int id) = 0;
    // The repeat messages of held mouse commands, posted.
    virtual void postUser(int offset) = 0;
    // Milliseconds of a steady clock.
    virtual std::int64_t tickCount() = 0;
    // A seed for the random sequence, taken from the clock.
    virtual std::uint32_t clockSeed() { return clockSeedNow(); }

    virtual void setCursor(CursorShape) {}
    // Puts the pointer on a client point; false where it cannot be moved.
    virtual bool setCursorPosition(int /*clientX*/, int /*clientY*/) { return false; }

    virtual void openDataDialog() {}
    virtual void openAutoControlDialog() {}

    // A driving error ended the drive: the engine stands still from here.
    virtual void workshop(Damage) {}
};

}  // namespace zt40
