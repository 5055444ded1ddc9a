#include "cab_knobs.h"

#include <cmath>
#include <numbers>

#include "cab_layout.h"
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
    const int ax = px(layout::regulatorPivot.x / s), ay = px(layout::regulatorPivot.y / s);
    const double phi = pilotValve * 0.009106087 + pi / 2.0;
    return onWheel(ax, ay, phi + pi / 3.0, layout::regulatorHandle / s);
}

KnobPosition brakeKnob(double s, int brakeCommand) {
    const int bx = px(layout::brakeHandlePivot.x / s), by = px(layout::brakeHandlePivot.y / s);
    const int length = px(layout::brakeHandleLength / s) - 5;       // px
    const double phi = brakeCommand * 0.06981317008 + 3.665191429;  // 4° a step from 210°
    return onWheel(bx, by, phi, length);
}

KnobPosition reverserKnob(double s, int reverser) {
    const int cx = px(layout::anchor.x / s), cy = px(layout::anchor.y / s);  // the wheel's centre
    const int radius = px(layout::reverserWheelRadius / s);
    const double phi = reverser * 0.1374446786 + pi;
    return onWheel(cx, cy, phi, radius - 5);
}

}  // namespace zt40
