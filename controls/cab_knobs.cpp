#include "cab_knobs.h"

#include <cmath>
#include <numbers>

#include "numeric.h"

namespace zt40 {

namespace {

using std::numbers::pi;

int px(double value) { return truncateTo<int>(value); }

// A point at angle θ (0 pointing down) and radius r around (x, y).
KnobPosition onWheel(double x, double y, double angle, double radius) {
    return {px(x + std::sin(angle) * radius), px(y + std::cos(angle) * radius)};
}

}  // namespace

KnobPosition regulatorKnob(double s, int pilotValve) {
    const int ax = px(920 / s), ay = px(1400 / s);  // the lever's pivot
    const double phi = pilotValve * 0.009106087 + pi / 2.0;
    return onWheel(ax, ay, phi + pi / 3.0, 400 / s);
}

KnobPosition brakeKnob(double s, int brakeCommand) {
    const int bx = px(2100 / s), by = px(1500 / s);  // the handle's pivot
    const int length = px(300 / s) - 5;                // px
    const double phi = brakeCommand * 0.06981317008 + 3.665191429;  // 4° a step from 210°
    return onWheel(bx, by, phi, length);
}

KnobPosition reverserKnob(double s, int reverser) {
    const int cx = px(1560 / s), cy = px(2000 / s);  // the wheel's centre
    const int radius = px(220 / s);
    const double phi = reverser * 0.1374446786 + pi;
    return onWheel(cx, cy, phi, radius - 5);
}

}  // namespace zt40
