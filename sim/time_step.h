#pragma once
// How long one sub-step of the model is.

#include "sim_speed.h"

namespace zt40 {

// Sub-step length in s: the exchange's simulated time (the interval, or
// 1 s while the exchanges run at the long period, times the speed's factor)
// over the speed's sub-steps; never zero or negative.
double subStepLength(double stepInterval, bool fineTimer, SimSpeed speed);

}  // namespace zt40
