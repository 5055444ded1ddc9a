#pragma once
// The mixer's voices: a looped recording whose gain glides to the level it
// is given, so that no change of loudness clicks, and a recording played
// once at a gain. Both read their recording at its own rate, interpolated.

#include <cmath>

#include "numeric.h"
#include "recordings.h"

namespace zt40 {

// The recording's sample at `position` (samples, may be fractional); a
// loop runs on into its beginning, a recording played once into silence.
inline double sampleAt(const Pcm& pcm, double position, bool looped) {
    const std::size_t length = pcm.samples.size();
    const auto index = truncateTo<std::size_t>(position);
    if (index >= length) return 0.0;
    const double fraction = position - static_cast<double>(index);
    const double next = index + 1 < length ? pcm.samples[index + 1] : (looped ? pcm.samples[0] : 0.0);
    return (pcm.samples[index] * (1.0 - fraction) + next * fraction) * (1.0 / 32768.0);
}

class LoopVoice {
public:
    void setLevel(double level) { target_ = level; }
    // The loop's next sample at full scale; the gain takes one step of at
    // most `glideStep` towards the level.
    double next(const Pcm& pcm, int outputRate, double glideStep) {
        gain_ += std::fmax(-glideStep, std::fmin(glideStep, target_ - gain_));
        if (pcm.samples.empty() || pcm.sampleRate <= 0) return 0.0;
        const double value = sampleAt(pcm, position_, true);
        position_ += static_cast<double>(pcm.sampleRate) / outputRate;
        const auto length = static_cast<double>(pcm.samples.size());
        if (position_ >= length) position_ = std::fmod(position_, length);
        return value;
    }
    double gain() const { return gain_; }
    double level() const { return target_; }
    // Silent at once; only once the output has faded out.
    void silence() { gain_ = target_ = 0.0; }

private:
    double position_ = 0.0;  // samples into the recording
    double gain_ = 0.0;
    double target_ = 0.0;
};

class OneShotVoice {
public:
    void start(const Pcm& pcm, double gain) {
        pcm_ = &pcm;
        position_ = 0.0;
        gain_ = gain;
    }
    bool active() const { return pcm_ != nullptr; }
    void stop() { pcm_ = nullptr; }
    // The next sample at its gain; the voice ends with its recording.
    double next(int outputRate) {
        if (!pcm_) return 0.0;
        if (pcm_->sampleRate <= 0 || position_ >= static_cast<double>(pcm_->samples.size())) {
            pcm_ = nullptr;
            return 0.0;
        }
        const double value = sampleAt(*pcm_, position_, false) * gain_;
        position_ += static_cast<double>(pcm_->sampleRate) / outputRate;
        return value;
    }

private:
    const Pcm* pcm_ = nullptr;
    double position_ = 0.0;  // samples into the recording
    double gain_ = 0.0;
};

}  // namespace zt40
