#pragma once
// What the speed recorder writes onto its strip as the drive goes: the
// paper moves with the way the train travels, either way, so standing
// still it does not move; the clock's minutes are marked on it; the speed
// and the further traces are taken once every few metres or once a
// second. A reset of the distance (W) or the time (Z) does not move the
// paper or its clock.

#include <cstddef>
#include <vector>

#include "locomotive_state.h"

namespace zt40 {

struct StripSample {
    double path;           // m of paper: the way travelled since the strip began
    double time;           // s the strip's clock has run since it began
    float speed;           // km/h, either way
    float boilerPressure;  // bar over atmosphere
    float waterLevel;      // mm the glass shows above the low-water mark
    float cutoff;          // %, forward positive
    float regulator;       // % the main valve is open
};

class StripLog {
public:
    // Takes the record as it stands now; appends a sample when the paper
    // or the clock has moved far enough since the last.
    void take(const LocomotiveState& record);

    const std::vector<StripSample>& samples() const { return samples_; }
    bool empty() const { return samples_.empty(); }
    double path() const { return path_; }  // m, where the paper stands
    double time() const { return time_; }  // s

    static constexpr double pathStep = 2.0;  // m between samples while moving
    static constexpr double timeStep = 1.0;  // s between samples
    // Beyond this many samples every second one of the older half goes.
    static constexpr std::size_t capacity = 1000000;

private:
    void thin();

    std::vector<StripSample> samples_;
    bool seen_ = false;     // a record has been taken
    bool started_ = false;  // the model had run: the strip has its first sample
    double lastDistance_ = 0.0;  // m, of the record
    double lastSimTime_ = 0.0;   // s, of the record
    double path_ = 0.0;          // m
    double time_ = 0.0;          // s
};

}  // namespace zt40
