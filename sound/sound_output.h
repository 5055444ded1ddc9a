#pragma once
// What the window and the driving controls ask of the sound, and the
// switching rules they share. A silent stand-in keeps count for tests and
// the headless runner.

#include <cstdint>

#include "locomotive_state.h"
#include "sim_speed.h"

namespace zt40 {

class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // The engine-sound loop from its start.
    virtual void startEngineLoop() = 0;
    // Silence. With `fullVolume` the stream is left at full volume (sound
    // switched off); otherwise its saved volume is restored.
    virtual void stopAll(bool fullVolume) = 0;
    // The sound update of the main tick; true when a valve knock began,
    // whose 400 ms the caller times.
    virtual bool update(LocomotiveState& state) = 0;
    // The knock's 400 ms are over.
    virtual void knockEnded(LocomotiveState& state) = 0;
};

// Key S and the sound button: sound on or off. The loop starts only where
// something adjusts and stops it, at 1:10 to real time.
inline void switchSound(LocomotiveState& state, SoundOutput& sound) {
    state.soundOn = !state.soundOn;
    if (!state.soundOn) sound.stopAll(true);
    else if (SimSpeed(state.simSpeedCode).engineHeard()) sound.startEngineLoop();
    state.soundRestart = true;
}

class SilentSound final : public SoundOutput {
public:
    void startEngineLoop() override { ++loopStarts; }
    void stopAll(bool fullVolume) override {
        ++stops;
        if (fullVolume) ++fullVolumeStops;
    }
    bool update(LocomotiveState&) override { return false; }
    void knockEnded(LocomotiveState&) override {}
    int loopStarts = 0;
    int stops = 0;
    int fullVolumeStops = 0;
};

}  // namespace zt40
