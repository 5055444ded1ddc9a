#include "sound_player.h"

#include <algorithm>
#include <cmath>

#include "numeric.h"

namespace zt40 {

namespace {

// Largest change of the gain per output sample: silence to full in 5 ms.
constexpr double gainStep = 1.0 / (0.005 * SoundPlayer::outputRate);

}  // namespace

void SoundPlayer::load(RecordingId id, Pcm pcm) { recordings_[recordingSlot(id)] = std::move(pcm); }

void SoundPlayer::play(RecordingId id, Repeat repeat) {
    playing_ = id;
    repeat_ = repeat;
    sourcePosition_ = 0.0;
}

double SoundPlayer::position() const {
    if (!playing_) return 0.0;
    const Pcm& pcm = recording(*playing_);
    return pcm.sampleRate > 0 ? sourcePosition_ / pcm.sampleRate : 0.0;
}

void SoundPlayer::render(std::span<std::int16_t> out) {
    framesRendered_ += static_cast<std::int64_t>(out.size());
    const double target = volume_ / double{fullVolume};
    for (std::int16_t& sample : out) {
        gain_ += std::clamp(target - gain_, -gainStep, gainStep);
        sample = 0;
        if (!playing_) continue;
        const Pcm& pcm = recording(*playing_);
        const auto length = pcm.samples.size();
        if (length == 0 || pcm.sampleRate <= 0) {
            playing_.reset();
            continue;
        }
        // Linear interpolation between the recording's samples; a loop
        // runs on into its own beginning.
        const auto index = truncateTo<std::size_t>(sourcePosition_);
        const double fraction = sourcePosition_ - static_cast<double>(index);
        const bool loop = repeat_ == Repeat::looped;
        const double next = index + 1 < length ? pcm.samples[index + 1] : (loop ? pcm.samples[0] : 0.0);
        const double value = (pcm.samples[index] * (1.0 - fraction) + next * fraction) * gain_;
        sample = truncateTo<std::int16_t>(std::round(value));

        sourcePosition_ += static_cast<double>(pcm.sampleRate) / outputRate;
        if (sourcePosition_ >= static_cast<double>(length)) {
            if (loop) sourcePosition_ = std::fmod(sourcePosition_, static_cast<double>(length));
            else playing_.reset();
        }
    }
}

}  // namespace zt40
