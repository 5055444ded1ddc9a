#pragma once
// What the window and the driving controls ask of the sound, and the
// switching rules they share. A silent stand-in keeps count for tests and
// the headless runner.

#include "locomotive_state.h"
#include "sim_speed.h"

namespace zt40 {

class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // The engine is heard from now on: the sound fades in from silence.
    virtual void startEngineLoop() = 0;
    // Silence: everything fades out.
    virtual void stopAll() = 0;
    // The sound update of the main tick, while the engine is heard: the
    // record with the model's last results, its exhaust beats among them.
    virtual void update(LocomotiveState& state) = 0;
};

// Key S and the sound button: sound on or off. The sound starts only where
// something adjusts and stops it, at 1:10 to real time.
inline void switchSound(LocomotiveState& state, SoundOutput& sound) {
    state.soundOn = !state.soundOn;
    if (!state.soundOn) sound.stopAll();
    else if (SimSpeed(state.simSpeedCode).engineHeard()) sound.startEngineLoop();
    state.soundRestart = true;
}

class SilentSound final : public SoundOutput {
public:
    void startEngineLoop() override { ++loopStarts; }
    void stopAll() override { ++stops; }
    void update(LocomotiveState&) override {}
    int loopStarts = 0;
    int stops = 0;
};

}  // namespace zt40
