#pragma once
// Every driving and operating control of the cab has a key. The handler
// translates key messages (Windows virtual-key numbers) into moves of the
// cab's controls. Toggles act once per press: they set a latch that only a
// key-up releases, and latched keys wait for it.

#include "locomotive_state.h"
#include "sound_output.h"
#include "window_messages.h"

namespace zt40 {

class KeyHandler {
public:
    static constexpr int whistleKey = 'H';  // "Pfeife": blows while held

    void handle(KeyMessage message, int virtualKey, LocomotiveState& state, bool& commandChanged, bool coarseSteps,
                SoundOutput& sound);

    bool latched() const { return keyLatch_; }

private:
    // Keys that toggle or switch; true when the key was taken.
    bool handleSwitch(int virtualKey, LocomotiveState& state, bool& commandChanged, SoundOutput& sound);
    // Keys that step a setting and act on every repeat.
    void handleStep(int virtualKey, LocomotiveState& state, int step);
    void stepReverser(LocomotiveState& state, int direction);
    void stepGradient(LocomotiveState& state, int direction);
    void stepSpeed(LocomotiveState& state, int direction, bool& commandChanged, SoundOutput& sound);

    bool keyLatch_ = false;
};

}  // namespace zt40
