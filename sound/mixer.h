#pragma once
// The mixer: every sound of the locomotive at once, rendered as PCM for
// the audio device. The looped sounds glide to the levels the scenes give;
// the exhaust beats are struck at their place on a time line that the
// scenes' spans advance, a little ahead of the samples rendered; the
// whole output fades in and out, so that no start or stop clicks, and a
// soft limiter keeps the sum from clipping. Plain C++, so that it runs and
// is tested without a device; it lives on the audio thread, and scenes
// reach it through the feed.

#include <array>
#include <cstdint>
#include <span>

#include "recordings.h"
#include "sound_scene.h"
#include "voices.h"

namespace zt40 {

class Mixer {
public:
    static constexpr int outputRate = 22050;  // Hz, mono 16-bit

    void load(RecordingId id, Pcm pcm) { recordings_[recordingSlot(id)] = std::move(pcm); }
    const Pcm& recording(RecordingId id) const { return recordings_[recordingSlot(id)]; }

    // A scene of the main tick, in the order they were posted.
    void take(const SoundScene& scene);
    // The next samples of the stream; silence while nothing is heard.
    void render(std::span<std::int16_t> out);

    std::int64_t framesRendered() const { return rendered_; }
    bool heard() const { return heard_; }
    double loopGain(Loop loop) const { return loops_[loopSlot(loop)].gain(); }
    int beatsWaiting() const { return waitingCount_; }

private:
    struct WaitingBeat {
        std::int64_t frame;  // output frame it is struck at
        Beat beat;
    };
    void schedule(const SoundScene& scene);
    void strike(const Beat& beat);
    void startShot(RecordingId id, double gain);
    double mixSample();
    void fallSilent();

    std::array<Pcm, recordingFormats.size()> recordings_;
    std::array<LoopVoice, loopCount> loops_;
    std::array<OneShotVoice, 16> shots_;
    std::size_t nextShot_ = 0;  // the voice taken next, the oldest when all sound
    std::array<WaitingBeat, 2 * exhaustBeatCapacity> waiting_{};
    int waitingFirst_ = 0;
    int waitingCount_ = 0;
    double timeline_ = 0.0;  // output frame at which the next scene's span begins
    bool heard_ = false;
    bool quiet_ = true;          // faded out and forgotten
    double master_ = 0.0;        // gain of the whole output, fading in and out
    double swell_ = 0.0;         // the throttle's swell from the compression strokes
    double swellDrive_ = 0.0;    // what the swell rises towards, decaying
    std::int64_t rendered_ = 0;  // frames
};

}  // namespace zt40
