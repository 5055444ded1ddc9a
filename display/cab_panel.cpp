#include "cab_panel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "cab_knobs.h"
#include "cab_layout.h"
#include "numeric.h"
#include "pointer_targets.h"
#include "window_layout.h"

namespace zt40 {

namespace {

using std::numbers::pi;

constexpr Rgb red{255, 0, 0};
constexpr Rgb cyan{0, 255, 255};
const Pen blackPen{};
const Brush whiteBrush{};

int px(double value) { return truncateTo<int>(value); }

// Millimetres to whole pixels at the frame's scale.
struct Layout {
    double s;  // mm per pixel
    int operator()(double mm) const { return px(mm / s); }
    PixelPoint operator()(layout::Point mm) const { return {px(mm.x / s), px(mm.y / s)}; }
};

// A point laid out from the cab's anchor, already in pixels.
PixelPoint fromAnchor(const Layout& mm, PixelPoint anchor, layout::Point offset) {
    return {anchor.x + mm(offset.x), anchor.y + mm(offset.y)};
}

// A point at angle θ and radius r around (x, y): dials use cos/sin, the
// wheel and levers sin/cos (0 pointing down).
PixelPoint onDial(double x, double y, double angle, double radius) {
    return {px(x + radius * std::cos(angle)), px(y + radius * std::sin(angle))};
}
PixelPoint onWheel(double x, double y, double angle, double radius) {
    return {px(x + std::sin(angle) * radius), px(y + std::cos(angle) * radius)};
}

PixelPoint pixel(KnobPosition knob) { return {knob.x, knob.y}; }

void knob(Canvas& canvas, PixelPoint at, int radius, const Pen& pen = blackPen) {
    canvas.ellipse(at.x - radius, at.y - radius, at.x + radius, at.y + radius, pen, whiteBrush);
}

void fireHoleDoor(Canvas& canvas, const LocomotiveState& copy, const FrameState& frame, const Layout& mm,
                  PixelPoint anchor) {
    const Pen pen{copy.autoFiring ? black : Rgb{200, 0, 0}, 3};
    const int glow = std::min(px(frame.exhaustGlow * 63.75), 255);
    Rgb colour{255, static_cast<std::uint8_t>(glow), 0};
    if (copy.tankWater <= 255.0) {
        // Water running short: the fire dies down.
        const int water = px(copy.tankWater);
        colour = {static_cast<std::uint8_t>(lowByteOf(water)),
                  static_cast<std::uint8_t>(std::clamp(std::min(px(glow * frame.exhaustGlow * 0.25), water), 0, 255)),
                  0};
    }
    const layout::Rect door = layout::fireHoleDoor;
    const PixelPoint topLeft = fromAnchor(mm, anchor, {door.left, door.top});
    const PixelPoint bottomRight = fromAnchor(mm, anchor, {door.right, door.bottom});
    const int corner = mm(layout::fireHoleDoorCorner);
    canvas.roundRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y, corner, corner, pen, Brush{colour, Fill::solid});
}

// A round dial: rim, ticks from `start` in `step` up to 7.34 rad, needle.
template <class LongTick>
void dial(Canvas& canvas, const Layout& mm, PixelPoint centre, double start, double step, LongTick isLong,
          double needle) {
    const auto [x, y] = centre;
    const int radius = mm(layout::dialRadius);
    canvas.ellipse(x - radius, y - radius, x + radius, y + radius, blackPen, whiteBrush);
    int tick = 0;
    for (double angle = start; angle <= 7.34; angle += step, ++tick) {
        const int inner = radius - (isLong(tick) ? 12 : 5);
        canvas.line(onDial(x, y, angle, radius), onDial(x, y, angle, inner), blackPen);
    }
    canvas.line({x, y}, onDial(x, y, needle, layout::needleLength / mm.s), blackPen);
}

void speedometer(Canvas& canvas, const Layout& mm, PixelPoint centre, double wheelSpeed) {
    const auto [x, y] = centre;
    const int radius = mm(layout::dialRadius);
    canvas.ellipse(x - radius, y - radius, x + radius, y + radius, blackPen, whiteBrush);
    // 10 km/h a tick of π/8: forward through the left half, reverse through the right.
    for (double angle = pi / 2.0; angle <= 4.8; angle += pi / 8.0) {
        const int inner = radius - (angle == pi / 2.0 ? 12 : 5);
        canvas.line(onDial(x, y, angle, radius), onDial(x, y, angle, inner), blackPen);
    }
    for (double angle = pi / 2.0; angle > -1.2; angle -= pi / 8.0) {
        canvas.line(onDial(x, y, angle, radius), onDial(x, y, angle, radius - 5), blackPen);
    }
    canvas.line({x, y}, onDial(x, y, wheelSpeed * pi * 0.045 + pi / 2.0, layout::needleLength / mm.s), blackPen);
}

void dials(Canvas& canvas, const LocomotiveState& copy, const Layout& mm, PixelPoint anchor) {
    constexpr double start = 2.094395102;  // rad, lower left
    const auto pressureTick = [](int tick) { return tick % 5 == 0; };
    const auto pressureNeedle = [](double pa) { return pa * 5.235987756 / 1600000.0 + start; };
    const auto at = [&](const layout::Dial& d) { return fromAnchor(mm, anchor, d.fromAnchor); };
    dial(canvas, mm, at(layout::steamChestGauge), start, 0.32724923475, pressureTick,
         pressureNeedle(copy.steamChest.pressure));
    dial(canvas, mm, at(layout::boilerGauge), start, 0.32724923475, pressureTick,
         pressureNeedle(copy.boilerSteam.pressure));
    dial(canvas, mm, at(layout::pyrometer), start, 0.20943951024, pressureTick,
         (copy.steamChestPyrometer - 273.0) * 5.235987756 / 500.0 + start);
    speedometer(canvas, mm, at(layout::speedometer), copy.wheelSpeed);
    dial(canvas, mm, at(layout::brakeGauge), start, 0.4027682889230769, pressureTick,
         copy.brake * 5.235987756 / 130.0 + start);
}

void reverserWheel(Canvas& canvas, const LocomotiveState& copy, const Layout& mm, PixelPoint anchor) {
    const auto [cx, cy] = anchor;
    const int radius = mm(layout::reverserWheelRadius);
    const double phi = copy.reverser * 0.1374446786 + pi;
    canvas.arc(cx - radius, cy - radius, cx + radius, cy + radius, {0, 0}, {0, 0}, blackPen);
    canvas.line(onWheel(cx, cy, phi, radius), onWheel(cx, cy, phi + pi, radius), blackPen);
    canvas.line(onWheel(cx, cy, phi + pi / 2.0, radius), onWheel(cx, cy, phi + 3.0 * pi / 2.0, radius), blackPen);
    knob(canvas, pixel(reverserKnob(mm.s, copy.reverser)), 5);

    // Cut-off scale: 10 % a tick, mid gear at 574 mm.
    const int side = mm(layout::cutOffScaleHalfWidth);
    canvas.rectangle(cx - side, cy - mm(layout::cutOffScaleLow), cx + side, cy - mm(layout::cutOffScaleHigh), blackPen,
                     whiteBrush);
    for (int z = 273; z < 900; z += 43) {
        const int length = (z == 359 || z == 574 || z == 789) ? mm(25) : 0;
        canvas.line({cx - side, cy - mm(z)}, {cx + length, cy - mm(z)}, blackPen);
    }
    const int marker = px(574 - copy.reverser * 2.15);  // mm
    canvas.line({cx + mm(75), cy - mm(marker)}, {cx - mm(25), cy - mm(marker)}, Pen{red, 2});
}

void waterGauge(Canvas& canvas, double level, const Layout& mm, int x) {
    const int top = mm(layout::waterGaugeBase);
    const double s = mm.s;
    const int fitting = mm(50);
    const int frame = mm(layout::waterGaugeFrameHalfWidth);
    canvas.rectangle(x - frame, top - mm(layout::waterGaugeFrameLow), x + frame, top - mm(layout::waterGaugeFrameHigh),
                     blackPen, whiteBrush);
    const int upper = top - mm(layout::waterGaugeHeight);
    canvas.rectangle(px(x - 20 / s), top, px(x + 20 / s), upper, blackPen, whiteBrush);
    knob(canvas, {x, top}, fitting);
    knob(canvas, {x, upper}, fitting);
    // Water up to the depth the glass shows; a full glass stops at its top fitting.
    const double depth = std::max(level, 215.0);  // mm
    if (depth < 650.0) {
        canvas.rectangle(px(x - 20 / s), top - mm(50), px(x + 20 / s), top + mm(depth - 700.0), Pen{cyan, 1},
                         Brush{cyan, Fill::solid});
    }
    for (int mark : {66, 246, 426}) {
        canvas.line({px(x - 30 / s), top - mm(mark)}, {px(x + 30 / s), top - mm(mark)}, Pen{red, 1});
    }
}

void regulatorLever(Canvas& canvas, const LocomotiveState& copy, const Layout& mm) {
    const double s = mm.s;
    const auto [ax, ay] = mm(layout::regulatorPivot);
    const double phi = copy.pilotValve * 0.009106087 + pi / 2.0;
    const PixelPoint p1 = onWheel(ax, ay, phi, layout::regulatorCrank / s);
    const PixelPoint p2 = onWheel(ax, ay, phi + pi, layout::regulatorCrank / s);
    const PixelPoint q = onWheel(ax, ay, phi + pi / 3.0, layout::regulatorArm / s);
    // The regulator rod seen obliquely, back into the boiler.
    const auto [dx, dy] = mm(layout::regulatorRodOffset);
    canvas.line({ax - dx, ay - dy}, {q.x - dx, q.y - dy}, blackPen);
    canvas.polyline({p1, {p1.x - dx, p1.y - dy}, {p2.x - dx, p2.y - dy}, p2, p1}, blackPen);
    const PixelPoint handle = pixel(regulatorKnob(s, copy.pilotValve));
    canvas.line({ax, ay}, handle, blackPen);
    knob(canvas, handle, 3);
}

void brakeHandle(Canvas& canvas, const LocomotiveState& copy, const Layout& mm) {
    const PixelPoint handle = pixel(brakeKnob(mm.s, copy.brakeCommand));
    canvas.line(mm(layout::brakeHandlePivot), handle, blackPen);
    knob(canvas, handle, 3);
}

// The direction the engine runs, as the sanding lever sees it.
bool travelling(const LocomotiveState& copy, bool counterPressure, int direction) {
    const double speed = direction * copy.wheelSpeed;
    const int reverser = direction * copy.reverser;
    return (copy.reverser == 0 && speed > 0.0) || (reverser > 0 && counterPressure) || (reverser < 0 && !counterPressure);
}

void sandingLever(Canvas& canvas, const LocomotiveState& copy, bool counterPressure, DisplayMemory& memory,
                  const Layout& mm) {
    PixelPoint end = mm(layout::sandingLeverRest);
    if (copy.sandingOn) {
        const bool forward = travelling(copy, counterPressure, +1);
        const bool backward = travelling(copy, counterPressure, -1);
        end = mm(layout::sandingLeverFront);
        if ((forward && (memory.sandFront || !memory.sandRear)) || memory.sandFront) {
            memory.sandFront = true;
        } else if ((backward && !memory.sandRear) || memory.sandRear) {
            memory.sandRear = true;
            end = mm(layout::sandingLeverRear);
        }
    } else {
        memory.sandFront = memory.sandRear = false;
    }
    canvas.line(mm(layout::sandingLeverFoot), end, blackPen);
    knob(canvas, end, copy.autoSanding ? 6 : 3);
}

void injectorHandle(Canvas& canvas, const LocomotiveState& copy, const Layout& mm) {
    const auto [cx, cy] = mm(layout::injectorCentre);
    const Pen pen{copy.injectorAutomatic ? black : red, 3};
    const int radius = mm(layout::injectorRadius);
    canvas.ellipse(cx - radius, cy - radius, cx + radius, cy + radius, pen, whiteBrush);
    const double theta = -copy.injectorRate * 0.0228;
    const int handle = layout::injectorHandle;
    canvas.line({cx, cy}, {px(std::cos(theta) * handle / mm.s) + cx, px(std::sin(theta) * handle / mm.s) + cy}, pen);
}

void handWheel(Canvas& canvas, const layout::HandWheel& wheel, int value, const Layout& mm) {
    const auto [x, y] = mm(wheel.centre);
    const int r = lowByteOf(wheel.radius / mm.s);  // px, held as a signed byte
    const std::int8_t v = lowByteOf(value);
    canvas.ellipse(x - r, y - r, x + r, y + r, blackPen, whiteBrush);
    const double theta = -0.18 * v;
    canvas.line(onDial(x, y, theta, 1.3 * r), onDial(x, y, theta + pi, r), blackPen);
    canvas.line(onDial(x, y, theta + pi / 2.0, r), onDial(x, y, theta + 3.0 * pi / 2.0, r), blackPen);
}

void smallLever(Canvas& canvas, const layout::SmallLever& lever, bool set, const Layout& mm) {
    const PixelPoint to = mm(set ? lever.set : lever.clear);
    canvas.line(mm(lever.foot), to, blackPen);
    knob(canvas, to, 3);
}

}  // namespace

void drawCabPanel(Canvas& canvas, const LocomotiveState& copy, const FrameState& frame, DisplayMemory& memory) {
    const Layout mm{cabScale(copy)};
    const PixelPoint anchor = mm(layout::anchor);
    const PixelPoint corner = fromAnchor(mm, anchor, layout::outlineCorner);
    canvas.rectangle(0, 0, corner.x, corner.y, blackPen, whiteBrush);
    fireHoleDoor(canvas, copy, frame, mm, anchor);
    dials(canvas, copy, mm, anchor);
    reverserWheel(canvas, copy, mm, anchor);
    for (int x : layout::waterGaugeX) waterGauge(canvas, copy.gaugeGlassLevel, mm, mm(x));
    regulatorLever(canvas, copy, mm);
    brakeHandle(canvas, copy, mm);
    sandingLever(canvas, copy, frame.counterPressureMode, memory, mm);
    injectorHandle(canvas, copy, mm);
    handWheel(canvas, layout::blowerWheel, copy.blowerSetting, mm);
    handWheel(canvas, layout::throttleWheel, copy.counterPressureThrottle, mm);
    handWheel(canvas, layout::injectionWheel, copy.cylinderWaterInjection, mm);
    smallLever(canvas, layout::blastPipeLever, copy.blastPipeClosed, mm);
    smallLever(canvas, layout::drainCockLever, copy.drainCocksOpen, mm);
}

}  // namespace zt40
