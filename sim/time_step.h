#pragma once
// How much simulated time one exchange covers and in how many sub-steps.
// A faster or slower simulation runs more or fewer sub-steps of the same
// length, so the model's numerics do not change with the speed setting.

#include <cstdint>
#include <optional>

namespace zt40 {

inline constexpr std::int8_t simSpeedStop = -4;

struct SpeedStep {
    int subSteps;        // N per exchange
    double speedFactor;  // k, simulated seconds per real second
};

// N and k for a speed code; none for STOP. Codes beyond the table count as
// its nearest end (faster than 10:1 as 10:1, slower than STOP as STOP).
std::optional<SpeedStep> speedStepFor(std::int8_t simSpeedCode);

// Sub-step length in s: one hundredth of the exchange interval (or of 1 s
// while the exchanges run at the long period), never zero or negative.
double subStepLength(double stepInterval, bool fineTimer, const SpeedStep& step);

}  // namespace zt40
