#include "cab_panel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "numeric.h"
#include "cab_knobs.h"
#include "pointer_targets.h"

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
};

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

void fireHoleDoor(Canvas& canvas, const LocomotiveState& copy, const FrameState& frame, const Layout& mm, int cx,
                  int cy) {
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
    canvas.roundRect(cx - mm(1200), cy - mm(200), cx - mm(725), cy + mm(150), mm(100), mm(100), pen,
                     Brush{colour, Fill::solid});
}

// A round dial: rim, ticks from `start` in `step` up to 7.34 rad, needle.
template <class LongTick>
void dial(Canvas& canvas, const Layout& mm, int x, int y, double start, double step, LongTick isLong, double needle) {
    const int radius = mm(200);
    canvas.ellipse(x - radius, y - radius, x + radius, y + radius, blackPen, whiteBrush);
    int tick = 0;
    for (double angle = start; angle <= 7.34; angle += step, ++tick) {
        const int inner = radius - (isLong(tick) ? 12 : 5);
        canvas.line(onDial(x, y, angle, radius), onDial(x, y, angle, inner), blackPen);
    }
    canvas.line({x, y}, onDial(x, y, needle, 150.0 / mm.s), blackPen);
}

void speedometer(Canvas& canvas, const Layout& mm, int x, int y, double wheelSpeed) {
    const int radius = mm(200);
    canvas.ellipse(x - radius, y - radius, x + radius, y + radius, blackPen, whiteBrush);
    // 10 km/h a tick of π/8: forward through the left half, reverse through the right.
    for (double angle = pi / 2.0; angle <= 4.8; angle += pi / 8.0) {
        const int inner = radius - (angle == pi / 2.0 ? 12 : 5);
        canvas.line(onDial(x, y, angle, radius), onDial(x, y, angle, inner), blackPen);
    }
    for (double angle = pi / 2.0; angle > -1.2; angle -= pi / 8.0) {
        canvas.line(onDial(x, y, angle, radius), onDial(x, y, angle, radius - 5), blackPen);
    }
    canvas.line({x, y}, onDial(x, y, wheelSpeed * pi * 0.045 + pi / 2.0, 150.0 / mm.s), blackPen);
}

void dials(Canvas& canvas, const LocomotiveState& copy, const Layout& mm, int cx, int cy) {
    constexpr double start = 2.094395102;  // rad, lower left
    const auto pressureTick = [](int tick) { return tick % 5 == 0; };
    const auto pressureNeedle = [](double pa) { return pa * 5.235987756 / 1600000.0 + start; };
    dial(canvas, mm, cx - mm(100), cy - mm(1200), start, 0.32724923475, pressureTick,
         pressureNeedle(copy.steamChest.pressure));
    dial(canvas, mm, cx - mm(1300), cy - mm(1750), start, 0.32724923475, pressureTick,
         pressureNeedle(copy.boilerSteam.pressure));
    dial(canvas, mm, cx - mm(800), cy - mm(1750), start, 0.20943951024, pressureTick,
         (copy.steamChestPyrometer - 273.0) * 5.235987756 / 500.0 + start);
    speedometer(canvas, mm, cx + mm(350), cy - mm(1000), copy.wheelSpeed);
    dial(canvas, mm, cx - mm(200), cy - mm(1750), start, 0.4027682889230769, pressureTick,
         copy.brake * 5.235987756 / 130.0 + start);
}

void reverserWheel(Canvas& canvas, const LocomotiveState& copy, const Layout& mm, int cx, int cy) {
    const int radius = mm(220);
    const double phi = copy.reverser * 0.1374446786 + pi;
    canvas.arc(cx - radius, cy - radius, cx + radius, cy + radius, {0, 0}, {0, 0}, blackPen);
    canvas.line(onWheel(cx, cy, phi, radius), onWheel(cx, cy, phi + pi, radius), blackPen);
    canvas.line(onWheel(cx, cy, phi + pi / 2.0, radius), onWheel(cx, cy, phi + 3.0 * pi / 2.0, radius), blackPen);
    knob(canvas, pixel(reverserKnob(mm.s, copy.reverser)), 5);

    // Cut-off scale: 10 % a tick, mid gear at 574 mm.
    canvas.rectangle(cx - mm(50), cy - mm(230), cx + mm(50), cy - mm(930), blackPen, whiteBrush);
    for (int z = 273; z < 900; z += 43) {
        const int length = (z == 359 || z == 574 || z == 789) ? mm(25) : 0;
        canvas.line({cx - mm(50), cy - mm(z)}, {cx + length, cy - mm(z)}, blackPen);
    }
    const int marker = px(574 - copy.reverser * 2.15);  // mm
    canvas.line({cx + mm(75), cy - mm(marker)}, {cx - mm(25), cy - mm(marker)}, Pen{red, 2});
}

void waterGauge(Canvas& canvas, double level, const Layout& mm, int x) {
    const int top = mm(1000);
    const double s = mm.s;
    const int fitting = mm(50);
    canvas.rectangle(x - mm(70), top - mm(40), x + mm(70), top - mm(495), blackPen, whiteBrush);
    canvas.rectangle(px(x - 20 / s), top, px(x + 20 / s), top - mm(535), blackPen, whiteBrush);
    knob(canvas, {x, top}, fitting);
    knob(canvas, {x, top - mm(535)}, fitting);
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
    const int ax = mm(920), ay = mm(1400);
    const double phi = copy.pilotValve * 0.009106087 + pi / 2.0;
    const PixelPoint p1 = onWheel(ax, ay, phi, 60 / s);
    const PixelPoint p2 = onWheel(ax, ay, phi + pi, 60 / s);
    const PixelPoint q = onWheel(ax, ay, phi + pi / 3.0, 160 / s);
    // The regulator rod seen obliquely, back into the boiler.
    const int dx = mm(600), dy = mm(700);
    canvas.line({ax - dx, ay - dy}, {q.x - dx, q.y - dy}, blackPen);
    canvas.polyline({p1, {p1.x - dx, p1.y - dy}, {p2.x - dx, p2.y - dy}, p2, p1}, blackPen);
    const PixelPoint handle = pixel(regulatorKnob(s, copy.pilotValve));
    canvas.line({ax, ay}, handle, blackPen);
    knob(canvas, handle, 3);
}

void brakeHandle(Canvas& canvas, const LocomotiveState& copy, const Layout& mm) {
    const int bx = mm(2100), by = mm(1500);
    const PixelPoint handle = pixel(brakeKnob(mm.s, copy.brakeCommand));
    canvas.line({bx, by}, handle, blackPen);
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
    PixelPoint end{mm(1200), mm(1800)};
    if (copy.sandingOn) {
        const bool forward = travelling(copy, counterPressure, +1);
        const bool backward = travelling(copy, counterPressure, -1);
        end = {mm(1100), mm(1827)};
        if ((forward && (memory.sandFront || !memory.sandRear)) || memory.sandFront) {
            memory.sandFront = true;
        } else if ((backward && !memory.sandRear) || memory.sandRear) {
            memory.sandRear = true;
            end = {mm(1300), mm(1827)};
        }
    } else {
        memory.sandFront = memory.sandRear = false;
    }
    canvas.line({mm(1200), mm(2000)}, end, blackPen);
    knob(canvas, end, copy.autoSanding ? 6 : 3);
}

void injectorHandle(Canvas& canvas, const LocomotiveState& copy, const Layout& mm) {
    const int cx = mm(1560), cy = mm(500);
    const Pen pen{copy.injectorAutomatic ? black : red, 3};
    const int radius = mm(100);
    canvas.ellipse(cx - radius, cy - radius, cx + radius, cy + radius, pen, whiteBrush);
    const double theta = -copy.injectorRate * 0.0228;
    canvas.line({cx, cy}, {px(std::cos(theta) * 200 / mm.s) + cx, px(std::sin(theta) * 200 / mm.s) + cy}, pen);
}

void handWheel(Canvas& canvas, int x, int y, int radiusMm, int value, const Layout& mm) {
    const int r = lowByteOf(radiusMm / mm.s);  // px, held as a signed byte
    const std::int8_t v = lowByteOf(value);
    canvas.ellipse(x - r, y - r, x + r, y + r, blackPen, whiteBrush);
    const double theta = -0.18 * v;
    canvas.line(onDial(x, y, theta, 1.3 * r), onDial(x, y, theta + pi, r), blackPen);
    canvas.line(onDial(x, y, theta + pi / 2.0, r), onDial(x, y, theta + 3.0 * pi / 2.0, r), blackPen);
}

void smallLever(Canvas& canvas, PixelPoint from, PixelPoint to) {
    canvas.line(from, to, blackPen);
    knob(canvas, to, 3);
}

}  // namespace

void drawCabPanel(Canvas& canvas, const LocomotiveState& copy, const FrameState& frame, DisplayMemory& memory) {
    const Layout mm{copy.displayScale};
    const int cx = mm(1560), cy = mm(2000);
    canvas.rectangle(0, 0, cx + mm(560), cy + mm(700), blackPen, whiteBrush);
    fireHoleDoor(canvas, copy, frame, mm, cx, cy);
    dials(canvas, copy, mm, cx, cy);
    reverserWheel(canvas, copy, mm, cx, cy);
    waterGauge(canvas, copy.gaugeGlassLevel, mm, mm(1093));
    waterGauge(canvas, copy.gaugeGlassLevel, mm, mm(100));
    regulatorLever(canvas, copy, mm);
    brakeHandle(canvas, copy, mm);
    sandingLever(canvas, copy, frame.counterPressureMode, memory, mm);
    injectorHandle(canvas, copy, mm);
    handWheel(canvas, mm(120), mm(1500), 80, copy.blowerSetting, mm);
    handWheel(canvas, mm(1300), mm(1200), 120, copy.counterPressureThrottle, mm);
    handWheel(canvas, mm(1300), mm(1600), 80, copy.cylinderWaterInjection, mm);
    smallLever(canvas, {mm(1500), mm(2700)}, copy.blastPipeClosed ? PixelPoint{mm(1450), mm(2450)} : PixelPoint{mm(1500), mm(2400)});
    smallLever(canvas, {mm(1800), mm(2700)}, copy.drainCocksOpen ? PixelPoint{mm(1750), mm(2350)} : PixelPoint{mm(1800), mm(2300)});
}

}  // namespace zt40
