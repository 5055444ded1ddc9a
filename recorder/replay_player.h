#pragma once
// A replay watched on the clock: the recorded drive's time runs at the
// playback speed (STOP, 1:10 … 10:1) against the clock, each main tick
// taking the period its timer had when it was recorded. The playback
// speed only paces the replay; the drive keeps the simulation speed it
// was driven at.

#include <cstdint>
#include <functional>

#include "replay.h"
#include "sim_speed.h"

namespace zt40 {

class ReplayPlayer {
public:
    explicit ReplayPlayer(Replay& replay) : replay_(replay) {}

    SimSpeed speed() const { return speed_; }
    void faster() { speed_ = speed_.faster(); }  // numeric pad *
    void slower() { speed_ = speed_.slower(); }  // numeric pad /

    // The clock has moved on by `elapsedMs`: the replay is brought up to
    // the recorded time that corresponds, while `timeLeft` allows. A
    // machine too slow for the speed lets the replay fall behind by a
    // second at most, instead of piling up work.
    void advance(std::int64_t elapsedMs, const std::function<bool()>& timeLeft = [] { return true; });

    bool over() const { return replay_.outcome() != Replay::Outcome::playing; }

    // Recorded time a playback may run ahead of the replay before it
    // stops catching up, ms.
    static constexpr double greatestLag = 1000.0;

private:
    Replay& replay_;
    SimSpeed speed_{SimSpeed::realTimeCode};
    double due_ = 0.0;  // ms of recorded time the replay should have reached
};

}  // namespace zt40
