#include "time_step.h"

namespace zt40 {

double subStepLength(double stepInterval, bool fineTimer, SimSpeed speed) {
    const double exchangeTime = (fineTimer ? stepInterval : 1.0) * speed.factor();  // s
    const double dt = exchangeTime / speed.subSteps();
    return dt > 0.0 ? dt : 0.0001;  // also catches a NaN interval
}

}  // namespace zt40
