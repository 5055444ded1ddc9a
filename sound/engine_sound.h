#pragma once
// The locomotive's sound on the one voice: the exhaust and throttle loops
// mixed by loudness, the safety valve and the piston-valve knock breaking
// in, and the stream volume that carries all loudness. Precedence: safety
// valve over knock over the engine loops.

#include <cstdint>

#include "sound_output.h"
#include "sound_player.h"

namespace zt40 {

class EngineSound final : public SoundOutput {
public:
    static constexpr std::uint16_t lowestVolume = 5000;
    static constexpr std::uint16_t knockVolume = 20000;

    // Saves the stream volume found now, to restore whenever we fall silent.
    explicit EngineSound(SoundPlayer& player);

    void startEngineLoop() override { engineSound(true); }
    void stopAll(bool fullVolume) override;
    bool update(LocomotiveState& state) override;
    void knockEnded(LocomotiveState& state) override;

    // The operations of the sound output.
    void setVolume(std::int64_t volume);
    void exhaustLoop(bool on);
    void throttleLoop(bool on);
    void engineSound(bool on);
    void playValveKnock();
    void safetyValveLoop(bool on);
    void volumeStore(bool restore);
    // a: exhaust loudness, b: throttle loudness (stream volume units).
    void mixEngineSound(std::int64_t a, std::int64_t b, bool restart);

    bool exhaustLoopCurrent() const { return exhaustLoopCurrent_; }
    bool oneShotPlaying() const { return oneShotPlaying_; }
    bool safetyValveSoundPlaying() const { return safetyValveSoundPlaying_; }

private:
    SoundPlayer& player_;
    std::uint16_t savedVolume_;
    bool exhaustLoopCurrent_ = true;
    bool oneShotPlaying_ = false;          // the knock sounds; the engine loop waits
    bool safetyValveSoundPlaying_ = false;
};

}  // namespace zt40
