#include "mixer.h"

#include <algorithm>
#include <cmath>

namespace zt40 {

namespace {

constexpr double rate = Mixer::outputRate;  // Hz
// Beats are struck this far ahead of the samples rendered when a scene
// arrives, and never further than the most: the scenes come from a tick of
// their own, a little before or after the audio device asks.
constexpr double beatLead = 0.05 * rate;  // frames
constexpr double mostLead = 0.25 * rate;  // frames
// A loop's gain glides from silence to full in 60 ms; the whole output
// fades in and out in 25 ms.
constexpr double glideStep = 1.0 / (0.060 * rate);
constexpr double fadeStep = 1.0 / (0.025 * rate);
// The throttle's swell with each compression stroke: rises in about 8 ms,
// dies away in about 90 ms, and can add this much to its hiss.
const double swellRise = 1.0 - std::exp(-1.0 / (0.008 * rate));
const double swellDecay = std::exp(-1.0 / (0.090 * rate));
constexpr double swellWeight = 0.6;
constexpr double knockGain = 0.6;
// Headroom before the limiter, and its knee: the sum passes unchanged up
// to the knee and approaches the ceiling above it, bending, never flat.
constexpr double outputLevel = 0.8;
constexpr double knee = 0.7;
constexpr double ceiling = 0.98;  // of full scale

double limit(double x) {
    const double magnitude = std::fabs(x);
    if (magnitude <= knee) return x;
    return std::copysign(knee + (ceiling - knee) * std::tanh((magnitude - knee) / (ceiling - knee)), x);
}

}  // namespace

void Mixer::take(const SoundScene& scene) {
    const bool wasHeard = heard_;
    heard_ = scene.heard;
    if (!heard_) return;  // everything fades out
    quiet_ = false;
    for (std::size_t i = 0; i < loopCount; ++i) loops_[i].setLevel(std::clamp(scene.levels[i], 0.0, 1.0));
    for (int k = 0; k < scene.knocks; ++k) startShot(RecordingId::valveKnock, knockGain);
    if (scene.restart || !wasHeard) timeline_ = static_cast<double>(rendered_) + beatLead;
    schedule(scene);
}

void Mixer::schedule(const SoundScene& scene) {
    // A time line fallen behind the samples (the ticks came late) starts
    // again just ahead; one run too far ahead is drawn back, but never
    // before a beat already waiting.
    const auto now = static_cast<double>(rendered_);
    if (timeline_ < now) timeline_ = now + beatLead;
    if (timeline_ > now + mostLead) {
        const double lastWaiting =
            waitingCount_ > 0 ? static_cast<double>(waiting_[(waitingFirst_ + waitingCount_ - 1) % waiting_.size()].frame)
                              : now;
        timeline_ = std::max(now + mostLead, lastWaiting);
    }
    for (int i = 0; i < scene.beatCount && waitingCount_ < static_cast<int>(waiting_.size()); ++i) {
        const Beat& beat = scene.beats[static_cast<std::size_t>(i)];
        const auto frame = truncateTo<std::int64_t>(timeline_ + std::max(beat.at, 0.0) * rate);
        waiting_[(waitingFirst_ + waitingCount_) % waiting_.size()] = {frame, beat};
        ++waitingCount_;
    }
    timeline_ += std::max(scene.span, 0.0) * rate;
}

void Mixer::strike(const Beat& beat) {
    const double gain = std::clamp(beat.gain, 0.0, 1.0);
    if (beat.throttle) {
        swellDrive_ += gain;
        return;
    }
    // A long cut-off barks, a short one puffs; between them the two blend.
    const double sharpness = std::clamp(beat.sharpness, 0.0, 1.0);
    if (sharpness > 0.0) startShot(RecordingId::exhaustBeat, gain * sharpness);
    if (sharpness < 1.0) startShot(RecordingId::softExhaustBeat, gain * (1.0 - sharpness));
}

void Mixer::startShot(RecordingId id, double gain) {
    shots_[nextShot_].start(recording(id), gain);
    nextShot_ = (nextShot_ + 1) % shots_.size();
}

void Mixer::render(std::span<std::int16_t> out) {
    for (std::int16_t& sample : out) {
        while (waitingCount_ > 0 && waiting_[static_cast<std::size_t>(waitingFirst_)].frame <= rendered_) {
            strike(waiting_[static_cast<std::size_t>(waitingFirst_)].beat);
            waitingFirst_ = (waitingFirst_ + 1) % static_cast<int>(waiting_.size());
            --waitingCount_;
        }
        master_ += std::clamp((heard_ ? 1.0 : 0.0) - master_, -fadeStep, fadeStep);
        const double value = limit(mixSample() * master_ * outputLevel);
        sample = truncateTo<std::int16_t>(std::round(value * 32767.0));
        ++rendered_;
        if (!heard_ && master_ == 0.0 && !quiet_) fallSilent();
    }
}

double Mixer::mixSample() {
    swellDrive_ *= swellDecay;
    swell_ += (swellDrive_ - swell_) * swellRise;
    double mix = 0.0;
    for (std::size_t i = 0; i < loopCount; ++i) {
        const double value = loops_[i].next(recording(loopRecordings[i]), outputRate, glideStep);
        double gain = loops_[i].gain();
        if (i == loopSlot(Loop::throttle)) gain += swellWeight * std::min(swell_, 1.5);
        mix += value * gain;
    }
    for (OneShotVoice& shot : shots_) mix += shot.next(outputRate);
    return mix;
}

void Mixer::fallSilent() {
    // Faded out: what sounded is forgotten, so that the next start glides
    // up from silence.
    for (LoopVoice& loop : loops_) loop.silence();
    for (OneShotVoice& shot : shots_) shot.stop();
    waitingCount_ = 0;
    swell_ = swellDrive_ = 0.0;
    quiet_ = true;
}

}  // namespace zt40
