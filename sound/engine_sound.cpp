#include "engine_sound.h"

#include <algorithm>

#include "numeric.h"

namespace zt40 {

namespace {

// Stream volume per kg/s of steam: the exhaust loop reaches full volume at
// 6 kg/s through the blast pipe, the throttle loop at 2.5 kg/s.
constexpr double exhaustVolumePerFlow = 10089.16667;   // per kg/s
constexpr double throttleVolumePerFlow = 26214.0;      // per kg/s

}  // namespace

EngineSound::EngineSound(SoundPlayer& player) : player_(player), savedVolume_(player.volume()) {}

void EngineSound::setVolume(std::int64_t volume) {
    player_.setVolume(static_cast<std::uint16_t>(std::max<std::int64_t>(volume, lowestVolume) & 0xffff));
}

void EngineSound::exhaustLoop(bool on) {
    if (!on) {
        player_.stop();
        return;
    }
    setVolume(lowestVolume);
    player_.play(RecordingId::exhaust, Repeat::looped);
}

void EngineSound::throttleLoop(bool on) {
    if (!on) {
        player_.stop();
        return;
    }
    setVolume(lowestVolume);
    player_.play(RecordingId::throttle, Repeat::looped);
}

void EngineSound::engineSound(bool on) {
    if (on) {
        setVolume(lowestVolume);
        exhaustLoop(true);
    } else {
        exhaustLoop(false);
        setVolume(SoundPlayer::fullVolume);
    }
}

void EngineSound::playValveKnock() {
    setVolume(knockVolume);
    player_.play(RecordingId::valveKnock, Repeat::once);
}

void EngineSound::safetyValveLoop(bool on) {
    if (on) player_.play(RecordingId::safetyValve, Repeat::looped);
    else player_.stop();
}

void EngineSound::volumeStore(bool restore) {
    if (restore) player_.setVolume(savedVolume_);
    else savedVolume_ = player_.volume();
}

void EngineSound::mixEngineSound(std::int64_t a, std::int64_t b, bool restart) {
    a = std::clamp<std::int64_t>(a, lowestVolume, SoundPlayer::fullVolume);
    b = std::clamp<std::int64_t>(b, 0, SoundPlayer::fullVolume);
    // The louder loop plays; a change of loop, or a restart, begins it anew.
    if (a >= b && (!exhaustLoopCurrent_ || restart)) {
        exhaustLoopCurrent_ = true;
        throttleLoop(false);
        exhaustLoop(true);
    }
    if (a < b && (exhaustLoopCurrent_ || restart)) {
        exhaustLoopCurrent_ = false;
        exhaustLoop(false);
        throttleLoop(true);
    }
    setVolume(exhaustLoopCurrent_ ? a : b);
}

void EngineSound::stopAll(bool fullVolume) {
    engineSound(false);
    if (!fullVolume) volumeStore(true);
    // Nothing sounds now: a safety valve still blowing is taken up again
    // by the next update rather than being covered by the engine loop.
    safetyValveSoundPlaying_ = false;
}

bool EngineSound::update(LocomotiveState& s) {
    // The engine loops, unless the knock or the safety valve has the voice.
    if (!oneShotPlaying_ && !safetyValveSoundPlaying_) {
        // With the blast pipe shut all exhaust steam leaves through the throttle.
        if (s.blastPipeClosed) s.counterPressureThrottleFlow = std::max(s.counterPressureThrottleFlow, s.blastPipeFlow);
        mixEngineSound(truncateTo<std::int64_t>(5000.0 + exhaustVolumePerFlow * s.blastPipeFlow),
                       truncateTo<std::int64_t>(throttleVolumePerFlow * s.counterPressureThrottleFlow),
                       s.soundRestart);
        s.soundRestart = false;
    }

    // A piston valve struck its holder.
    bool knockStarted = false;
    if (s.valveKnock && !safetyValveSoundPlaying_) {
        playValveKnock();
        oneShotPlaying_ = true;
        s.valveKnock = false;
        knockStarted = true;
    }

    // The safety valve blows over everything else.
    if (s.safetyValveOpen) {
        if (!safetyValveSoundPlaying_) {
            engineSound(false);
            safetyValveLoop(true);
            safetyValveSoundPlaying_ = true;
        }
    } else if (safetyValveSoundPlaying_) {
        safetyValveLoop(false);
        engineSound(true);
        s.soundRestart = true;
        safetyValveSoundPlaying_ = false;
    }
    return knockStarted;
}

void EngineSound::knockEnded(LocomotiveState& s) {
    oneShotPlaying_ = false;
    // The loop comes back only where it would be heard and nothing else
    // holds the voice.
    if (s.soundOn && s.windowFocused && SimSpeed(s.simSpeedCode).engineHeard() && !safetyValveSoundPlaying_) {
        engineSound(true);
        s.soundRestart = true;
    }
}

}  // namespace zt40
