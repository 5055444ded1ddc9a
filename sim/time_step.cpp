#include "time_step.h"

namespace zt40 {

std::optional<SpeedStep> speedStepFor(std::int8_t simSpeedCode) {
    switch (simSpeedCode) {
        case -3: return SpeedStep{10, 0.1};
        case -2: return SpeedStep{20, 0.2};
        case -1: return SpeedStep{50, 0.5};
        case 0: return SpeedStep{100, 1.0};
        case 1: return SpeedStep{200, 2.0};
        case 2: return SpeedStep{500, 5.0};
        default: break;
    }
    if (simSpeedCode >= 3) return SpeedStep{1000, 10.0};
    return std::nullopt;
}

double subStepLength(double stepInterval, bool fineTimer, const SpeedStep& step) {
    const double exchangeTime = (fineTimer ? stepInterval : 1.0) * step.speedFactor;  // s
    const double dt = exchangeTime / step.subSteps;
    return dt > 0.0 ? dt : 0.0001;  // also catches a NaN interval
}

}  // namespace zt40
