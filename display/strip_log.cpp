#include "strip_log.h"

#include <cmath>

namespace zt40 {

namespace {

// Faster than any train goes: a distance that jumps further was set (W).
constexpr double fastestTravel = 60.0;  // m/s
constexpr double travelSlack = 5.0;     // m
// The gauge glass's low-water mark on the depth scale.
constexpr double lowWaterMark = 454.0;  // mm

StripSample sampleOf(const LocomotiveState& s, double path, double time) {
    return {path,
            time,
            static_cast<float>(std::fabs(s.trainSpeed) * 3.6),
            static_cast<float>(s.boilerSteam.pressure / 100000.0),
            static_cast<float>(lowWaterMark - s.gaugeGlassLevel),
            static_cast<float>(-s.reverser * 0.5),
            static_cast<float>(s.regulator)};
}

}  // namespace

void StripLog::take(const LocomotiveState& s) {
    // The strip begins once the model has run: before, its results are not yet there.
    if (!started_) {
        if (!seen_) {
            seen_ = true;
            lastSimTime_ = s.simTime;
            return;
        }
        if (s.simTime == lastSimTime_) return;
        started_ = true;
        lastDistance_ = s.distance;
        lastSimTime_ = s.simTime;
        samples_.push_back(sampleOf(s, path_, time_));
        return;
    }
    // The clock and the paper run on from where they stood; a reset of
    // the record's time or distance moves neither.
    const double elapsed = s.simTime - lastSimTime_;  // s
    const double travelled = std::fabs(s.distance - lastDistance_);  // m
    const double seconds = elapsed > 0.0 && std::isfinite(elapsed) ? elapsed : 0.0;
    lastSimTime_ = s.simTime;
    lastDistance_ = s.distance;
    time_ += seconds;
    if (std::isfinite(travelled) && travelled <= fastestTravel * seconds + travelSlack) path_ += travelled;

    const StripSample& last = samples_.back();
    if (path_ - last.path < pathStep && time_ - last.time < timeStep) return;
    samples_.push_back(sampleOf(s, path_, time_));
    if (samples_.size() > capacity) thin();
}

void StripLog::thin() {
    // The older half at half the density; the recent half stays as it is.
    const std::size_t half = samples_.size() / 2;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < half; i += 2) samples_[kept++] = samples_[i];
    for (std::size_t i = half; i < samples_.size(); ++i) samples_[kept++] = samples_[i];
    samples_.resize(kept);
}

}  // namespace zt40
