#include "side_view.h"

#include <algorithm>
#include <array>
#include <vector>
#include <cmath>
#include <numbers>

#include "numeric.h"

namespace zt40 {

namespace {

using std::numbers::pi;

constexpr Rgb cyan{0, 255, 255};
const Pen blackPen{};
const Brush whiteBrush{};
const Brush blackBrush{black, Fill::solid};

int px(double value) { return truncateTo<int>(value); }
std::uint8_t byte(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

// Positions in millimetres of the engine, relative to the driving axle.
struct View {
    double s;  // mm per pixel
    double u;  // px, the driving axle (after the shake)
    double v;  // px
    const LocomotiveState& copy;
    const JointPositions& j;

    PixelPoint at(double xMm, double yMm) const { return {px(u + xMm / s), px(v + yMm / s)}; }
    double x(double mm) const { return u + mm / s; }
    double y(double mm) const { return v + mm / s; }
    Pen pen(double widthMm, Rgb colour) const { return Pen{colour, px(widthMm / s)}; }
};

PixelPoint point(double x, double y) { return {px(x), px(y)}; }
PixelPoint point(const JointPoint& p) { return {px(p.x), px(p.y)}; }
PixelPoint along(const JointPoint& from, const JointPoint& to, double share) {
    return point(from.x - share * (from.x - to.x), from.y - share * (from.y - to.y));
}

void pin(Canvas& canvas, PixelPoint at, int radius) {
    canvas.ellipse(at.x - radius, at.y - radius, at.x + radius, at.y + radius, blackPen, blackBrush);
}

// A fan of lines (cos/sin form) from (x, y).
void fan(Canvas& canvas, double x, double y, double centre, double half, double length, double step, Rgb colour) {
    for (double angle = centre - half; angle < centre + half; angle += step) {
        canvas.line(point(x, y), point(x + length * std::cos(angle), y + length * std::sin(angle)), Pen{colour, 1});
    }
}

void rod(Canvas& canvas, const View& view, JointPoint p1, JointPoint p2, double widthMm) {
    const int k = px(widthMm / view.s);
    const bool light = widthMm <= 120.0;
    const Rgb grey = light ? Rgb{70, 70, 70} : Rgb{80, 80, 80};
    canvas.line(point(p1), point(p2), Pen{grey, k});
    canvas.line(along(p2, p1, 0.9), along(p2, p1, 0.1), Pen{light ? Rgb{180, 0, 0} : Rgb{200, 0, 0}, k / 2});
    const Pen boss{grey, px(130.0 / view.s + k)};
    canvas.line(along(p2, p1, 1.02), along(p2, p1, 0.98), boss);
    canvas.line(along(p2, p1, 0.02), along(p2, p1, -0.02), boss);
    pin(canvas, point(p1), k - 5);
    pin(canvas, point(p2), k - 5);
}

void sleeper(Canvas& canvas, const View& view, int x, int y) {
    canvas.rectangle(x, y, px(x + 300 / view.s), px(y + 100 / view.s), blackPen, Brush{{150, 150, 150}, Fill::solid});
    canvas.rectangle(px(x + 100 / view.s), y, px(x + 200 / view.s), px(y - 50 / view.s), blackPen,
                     Brush{{90, 90, 90}, Fill::solid});
}

void head(Canvas& canvas, int x1, int y1, int x2, int y2, int neck) {
    const Brush brush{{100, 145, 145}, Fill::solid};
    canvas.rectangle(x1, y1, x2, y2, blackPen, brush);
    const int q = (y2 - y1) / 4;
    if (neck > 0) canvas.rectangle(x2, y1 + q, x1 + neck, y2 - q, blackPen, brush);
    if (neck < 0) canvas.rectangle(x2 + neck, y1 + q, x1, y2 - q, blackPen, brush);
    for (int k = 1; k <= 3; ++k) {
        const int x = x1 + k * (x2 - x1) / 4;
        canvas.line({x, y1}, {x, y2}, blackPen);
    }
}

enum class JetDirection { down, left, right };

void jet(Canvas& canvas, const View& view, double x, double y, const GasSpace& space, JetDirection direction) {
    const double p = space.pressure;  // Pa
    if (p <= 0.0) return;
    Rgb colour = spaceColour(p, space.temperature);
    const double wetness = space.waterMass / (space.waterMass + space.volume * 1000.0);
    if (direction == JetDirection::down && wetness > 0.04) colour = cyan;
    const double length = p / 1000.0 / view.s;
    if (direction == JetDirection::down) fan(canvas, x, y, pi / 2.0, p * 8.3e-7 + 0.17, length, 0.1, colour);
    if (direction == JetDirection::left) fan(canvas, x, y, pi, p * 5.81e-7 + 0.17, length, 0.1, colour);
    if (direction == JetDirection::right) fan(canvas, x, y, 0.0, p * 5.81e-7 + 0.17, length, 0.1, colour);
}

struct WheelSpec {
    double x, y;  // px
    int radius;   // px
    double angle;  // rad
    int glow;
    bool driving;
    bool sandFront, sandRear;
};

// A wheel on the circle of radius r around its centre (sin/cos form).
PixelPoint rim(const WheelSpec& w, double angle, double r) {
    return point(w.x + std::sin(angle) * r, w.y + std::cos(angle) * r);
}

void brakeShoe(Canvas& canvas, const View& view, const WheelSpec& w) {
    const double s = view.s;
    Rgb glow = black;
    int centre = px(w.x);
    if (w.glow > 99) glow = {255, byte(px(w.glow * 8.5 - 850)), 0};
    else if (w.glow > 0) glow = {byte(px(w.glow * 2.55)), 0, 0};
    else centre = px(w.x) + px(40 / s);  // released: off the tyre
    const Pen shoe{{70, 70, 70}, px(100 / s)};
    canvas.line(point(w.x + 800 / s, w.y - 550 / s), point(centre + 800 / s, w.y), shoe);
    const int o = px(775 / s);
    canvas.arc(centre - o, px(w.y) - o, centre + o, px(w.y) + o, point(centre + o, w.y + 200 / s),
               point(centre + o, w.y - 200 / s), Pen{glow, px(100 / s)});
}

void wheel(Canvas& canvas, const View& view, const WheelSpec& w) {
    const double s = view.s;
    const bool large = s * w.radius > 500.0;
    const int x = px(w.x), y = px(w.y), q = w.radius;
    if (large) {
        const Pen sand = view.pen(50, {195, 195, 124});
        if (w.sandRear) canvas.polyline({point(w.x - 440 / s, w.y + 750 / s), point(w.x - 500 / s, w.y + 650 / s), point(w.x - 300 / s, w.y + 750 / s)}, sand);
        if (w.sandFront) canvas.polyline({point(w.x + 440 / s, w.y + 750 / s), point(w.x + 500 / s, w.y + 650 / s), point(w.x + 300 / s, w.y + 750 / s)}, sand);
        // Brake hangers.
        const Pen hanger = view.pen(60, {0, 80, 80});
        const int f = px(100 / s), y2 = px(w.y + 550 / s), top = px(y2 - 1200 / s);
        const int d = px(w.x - 500 / s), dr = px(w.x + 500 / s);
        canvas.arc(d - f, y2 - f, d + f, y2 + f, {d - f, y2}, {d, y2 + f}, hanger);
        canvas.line({d - f, y2}, {d - f, top}, hanger);
        canvas.arc(dr - f, y2 - f, dr + f, y2 + f, {dr, y2 + f}, {dr + f, y2}, hanger);
        canvas.line({dr + f, y2}, {dr + f, top}, hanger);
    }
    // Tyre and rim; their dark red brush stays in hand for hub and counterweight.
    const Brush rimBrush{{200, 0, 0}, Fill::solid};
    canvas.arc(x - q - 4, y - q - 4, x + q + 4, y + q + 4, {0, 0}, {0, 0}, view.pen(50, {165, 165, 135}));
    const Pen spoke = view.pen(50, {255, 0, 0});
    canvas.arc(x - q, y - q, x + q, y + q, {0, 0}, {0, 0}, spoke);
    for (int k = 0; k < 6; ++k) {
        const double angle = w.angle + k * pi / 6.0;
        canvas.line(rim(w, angle, q), rim(w, angle + pi, q), spoke);
    }
    if (!large) {
        const int hub = px(100 / s);
        canvas.ellipse(x - hub, y - hub, x + hub, y + hub, spoke, rimBrush);
    } else {
        const double from = w.driving ? 1.8326 : 2.094395102, to = w.driving ? 4.4506 : 4.188790205;
        canvas.chord(x - q, y - q, x + q, y + q, rim(w, w.angle + from, q), rim(w, w.angle + to, q), spoke, rimBrush);
        canvas.line({x, y}, rim(w, w.angle, 330 / s), view.pen(250, {255, 0, 0}));
        const int hub = px(180 / s);
        canvas.ellipse(x - hub, y - hub, x + hub, y + hub, Pen{{255, 0, 0}, 5}, rimBrush);
        brakeShoe(canvas, view, w);
    }
    canvas.ellipse(x - 3, y - 3, x + 3, y + 3, blackPen, blackBrush);
    if (large && px(775 / s) > 600 / s) pin(canvas, point(w.x + 800 / s, w.y - 550 / s), px(20 / s));
}

void spaceRect(Canvas& canvas, Rgb colour, PixelPoint a, PixelPoint b) {
    canvas.rectangle(a.x, a.y, b.x, b.y, Pen{colour, 1}, Brush{colour, Fill::solid});
}

double waterShare(const GasSpace& space) { return space.waterMass / (space.waterMass + space.volume * 1000.0); }

void cylinderSpaces(Canvas& canvas, const View& view) {
    const LocomotiveState& c = view.copy;
    const double s = view.s;
    const int rear = c.valveHeadRearX, front = c.valveHeadFrontX, piston = c.pistonX;
    const auto at = [&](double x, double y) { return view.at(x, y); };
    const auto clientAt = [&](int x, double y) { return PixelPoint{x, px(view.y(y))}; };

    const Rgb chest = spaceColour(c.steamChest.pressure, c.steamChest.temperature);
    spaceRect(canvas, chest, clientAt(rear, -470), clientAt(front, -770));
    spaceRect(canvas, chest, at(4750, -1800), at(4850, -770));
    spaceRect(canvas, chest, at(4000, -1100), at(4750, -1150));
    spaceRect(canvas, chest, at(3850, -1050), at(4000, -1200));
    const int silencerGreen = std::min(std::max(px(255 - c.counterPressureThrottleFlow * 51), int{chest.g}), 255);
    const Rgb silencer{chest.r, byte(silencerGreen), chest.b};
    spaceRect(canvas, silencer, at(3975, -1800), at(3875, -1500));
    spaceRect(canvas, silencer, at(3950, -1200), at(3900, -1500));

    const Rgb exhaust = spaceColour(c.exhaustSpace.pressure, c.exhaustSpace.temperature);
    spaceRect(canvas, exhaust, at(4140, -470), clientAt(px(rear + 50 / s), -770));
    spaceRect(canvas, exhaust, clientAt(px(front - 10 / s), -470), at(5460, -770));
    for (auto [x1, y1, x2, y2] : {std::array<double, 4>{4140, -870, 4190, -770}, {5410, -870, 5460, -770},
                                  {4140, -920, 4750, -870}, {4850, -920, 5460, -870}, {5360, -960, 5260, -920}}) {
        spaceRect(canvas, exhaust, at(x1, y1), at(x2, y2));
    }
    const PixelPoint e1 = at(5460, -1250), e2 = at(5160, -950);
    canvas.ellipse(e1.x, e1.y, e2.x, e2.y, Pen{exhaust, 1}, Brush{exhaust, Fill::solid});
    if (c.blastPipeClosed) spaceRect(canvas, exhaust, at(5450, -1125), at(5800, -1075));
    else spaceRect(canvas, exhaust, at(5285, -1500), at(5335, -1247.9));

    const Rgb spaceB = spaceColour(c.cylinder1SpaceB.pressure, c.cylinder1SpaceB.temperature);
    spaceRect(canvas, spaceB, at(4300, -350), clientAt(piston, 350));
    spaceRect(canvas, spaceB, at(4300, -470), at(4550, -350));
    spaceRect(canvas, spaceB, at(4482, -820), at(4550, -470));
    const Rgb spaceA = spaceColour(c.cylinder1SpaceA.pressure, c.cylinder1SpaceA.temperature);
    spaceRect(canvas, spaceA, clientAt(piston, -350), at(5300, 350));
    spaceRect(canvas, spaceA, at(5050, -470), at(5300, -350));
    spaceRect(canvas, spaceA, at(5050, -820), at(5118, -470));
}

void cylinderWater(Canvas& canvas, const View& view) {
    const LocomotiveState& c = view.copy;
    const double s = view.s;
    int e = px(view.y(-470));
    if (c.steamChest.waterMass > 0.001) {
        spaceRect(canvas, cyan, {c.valveHeadRearX, e}, {c.valveHeadFrontX, px(e - 300 / s * waterShare(c.steamChest))});
    }
    if (c.exhaustSpace.waterMass > 0.001) {
        const int top = px(e - 300 / s * waterShare(c.exhaustSpace));
        spaceRect(canvas, cyan, {px(view.x(4140)), e}, {px(c.valveHeadRearX + 50 / s), top});
        spaceRect(canvas, cyan, {px(c.valveHeadFrontX - 10 / s), e}, {px(view.x(5460)), top});
    }
    e = px(view.y(350));
    if (c.cylinder1SpaceB.waterMass > 0.001) {
        spaceRect(canvas, cyan, {px(view.x(4300)), e}, {c.pistonX, px(e - 700 / s * waterShare(c.cylinder1SpaceB))});
    }
    if (c.cylinder1SpaceA.waterMass > 0.001) {
        spaceRect(canvas, cyan, {c.pistonX, e}, {px(view.x(5300)), px(e - 700 / s * waterShare(c.cylinder1SpaceA))});
    }
}

void outlines(Canvas& canvas, const View& view) {
    using Path = std::vector<std::array<double, 2>>;
    const Path paths[] = {
        {{4300, -470}, {4300, 350}, {5300, 350}, {5300, -470}},
        {{4400, -350}, {5200, -350}},
        {{4550, -350}, {4550, -470}, {5050, -470}, {5050, -350}},
        {{4750, -920}, {4140, -920}, {4140, -470}},
        {{4140, -470}, {4482, -470}, {4482, -820}, {4550, -820}, {4550, -470}},
        {{5260, -958.58}, {5260, -920}, {4850, -920}},
        {{5360, -958.58}, {5360, -920}, {5460, -920}, {5460, -470}, {5118, -470}, {5118, -820}, {5050, -820}, {5050, -470}},
        {{4750, -870}, {4190, -870}, {4190, -770}, {4482, -770}},
        {{4550, -770}, {4750, -770}, {4750, -1100}, {4000, -1100}, {4000, -1050}, {3700, -1050}},
        {{4750, -1800}, {4750, -1150}, {4000, -1150}, {4000, -1200}, {3950, -1200}, {3950, -1500}, {3975, -1500}, {3975, -1800}},
        {{3875, -1800}, {3875, -1500}, {3900, -1500}, {3900, -1200}, {3700, -1200}},
        {{4850, -870}, {5410, -870}, {5410, -770}, {5118, -770}},
        {{5050, -770}, {4850, -770}, {4850, -1800}},
        {{5285, -1247.9}, {5285, -1500}},
        {{5335, -1247.9}, {5335, -1500}},
        {{5457.9, -1125}, {5800, -1125}},
        {{5457.9, -1075}, {5800, -1075}},
    };
    for (const Path& path : paths) {
        std::vector<PixelPoint> points;
        for (const auto& [x, y] : path) points.push_back(view.at(x, y));
        canvas.polyline(points, blackPen);
    }
    const PixelPoint a = view.at(5460, -1250), b = view.at(5160, -950);
    canvas.arc(a.x, a.y, b.x, b.y, view.at(5360, -958.58), view.at(5457.9, -1075), blackPen);
    canvas.arc(a.x, a.y, b.x, b.y, view.at(5457.9, -1125), view.at(5335, -1247.9), blackPen);
    canvas.arc(a.x, a.y, b.x, b.y, view.at(5285, -1247.9), view.at(5260, -958.58), blackPen);
    for (double x : {5235.0, 5335.0}) {
        const PixelPoint p = view.at(x, -1450), q = view.at(x + 50, -1400);
        canvas.ellipse(p.x, p.y, q.x, q.y, blackPen, whiteBrush);
    }
}

void runningGear(Canvas& canvas, const LocomotiveState& c, const FrameState& rules, DisplayMemory& memory,
                 const View& view) {
    const double s = view.s, u = view.u, v = view.v;
    const JointPositions& j = view.j;
    // Bar, frame and its openings.
    canvas.line(point(j.armMidpoint), view.at(700, -700), view.pen(100, {160, 160, 255}));
    canvas.rectangle(0, px(v - 674 / s), px(u + 6902 / s), px(v + 121 / s), blackPen, Brush{{150, 0, 70}, Fill::solid});
    for (auto [from, to] : {std::array<double, 2>{-1, -338}, {338, 1312}, {1988, 2962}, {3638, 6700}}) {
        const int left = from < 0 ? -1 : px(u + from / s);
        canvas.rectangle(left, px(v), px(u + to / s), px(v - 500 / s), blackPen, whiteBrush);
    }
    // Wheels.
    advanceBrakeGlow(memory, rules.timeFactor, c);
    const int glow = px(memory.wheelGlow);
    for (int k = 0; k < 3; ++k) {
        wheel(canvas, view, {u + (k == 0 ? 0.0 : k * 1650.0 / s), v, px(700 / s), c.wheelAngle, glow, k == 0,
                             memory.sandFront, memory.sandRear});
    }
    wheel(canvas, view, {u + 5950 / s, v + 275 / s, px(425 / s), c.carryingWheelAngle, 0, false, false, false});
    // Coupling and connecting rods.
    const double pinY = std::trunc(j.crankPin.y);
    rod(canvas, view, {j.crankPin.x + 1650 / s, pinY}, {j.crankPin.x + 3300 / s, pinY}, 105);
    rod(canvas, view, {std::trunc(j.crankPin.x), pinY}, {j.crankPin.x + 1650 / s, pinY}, 105);
    rod(canvas, view, {-30, pinY}, {std::trunc(j.crankPin.x), pinY}, 105);
    rod(canvas, view, {std::trunc(j.crankPin.x), pinY}, {std::trunc(j.crosshead.x), v}, 156);
    // Slide bar and motion plate.
    canvas.line(view.at(4250, -290), view.at(2255, -290), view.pen(130, {135, 135, 170}));
    const Pen plate = view.pen(80, {100, 0, 70});
    canvas.line(view.at(2255, -290), view.at(2255, -1200), plate);
    canvas.polyline({view.at(2255, -890), point(j.linkPivot), view.at(2255, -590)}, plate);
    // Cylinder saddle.
    std::vector<PixelPoint> saddle;
    for (auto [x, y] : {std::array<double, 2>{4100, -950}, {4100, -400}, {4250, -400}, {4250, 400}, {5350, 400},
                        {5350, -400}, {5500, -400}, {5500, -950}}) {
        saddle.push_back(view.at(x, y));
    }
    canvas.polygon(saddle, blackPen, Brush{black, Fill::backDiagonal});
    // Rail and sleepers.
    canvas.rectangle(-1, px(v + 700 / s) + 2, c.clientWidth + 1, px(v + 850 / s), blackPen, Brush{{150, 0, 0}, Fill::solid});
    const int top = px(v + 850 / s), pitch = std::max(px(850 / s), 1);
    for (int x = px(rules.sleeperPhase); x > px(-300 / s); x -= pitch) sleeper(canvas, view, x, top);
    for (int x = px(rules.sleeperPhase + 850 / s); x < c.clientWidth; x += pitch) sleeper(canvas, view, x, top);
}

void valveGear(Canvas& canvas, const LocomotiveState& c, const View& view) {
    const double s = view.s, v = view.v;
    const JointPositions& j = view.j;
    const int pinRadius = px(40 / s);
    const double xh = j.crosshead.x;
    // Piston rod, crosshead and piston.
    canvas.line({px(xh), px(v)}, point(xh + 1550 / s, v), view.pen(105, {150, 200, 165}));
    canvas.line(point(xh + 1550 / s, v), point(xh + 2852 / s, v), view.pen(70, {150, 200, 165}));
    const Rgb brass{190, 180, 140};
    canvas.line({px(xh), px(v + 180 / s)}, {px(xh), px(v)}, view.pen(110, brass));
    canvas.line({px(xh), px(v)}, {px(xh), px(v - 260 / s)}, view.pen(310, brass));
    canvas.rectangle(px(xh), px(v - 105 / s), px(xh + 415 / s), px(v + 105 / s), Pen{brass, 1}, Brush{brass, Fill::solid});
    canvas.rectangle(px(xh - 310 / s), px(v - 415 / s), px(xh + 310 / s), px(v - 155 / s), Pen{brass, 1}, Brush{brass, Fill::solid});
    const Rgb dark{80, 75, 45};
    canvas.rectangle(px(xh - 250 / s), px(v - 375 / s), px(xh + 250 / s), px(v - 225 / s), Pen{dark, 1}, Brush{dark, Fill::solid});
    const int boss = px(104 / s);
    canvas.ellipse(px(xh) - boss, px(v) - boss, px(xh) + boss, px(v) + boss, Pen{dark, 1}, Brush{dark, Fill::solid});
    head(canvas, px(xh + 1504 / s), px(v + 350 / s), px(xh + 1607 / s), px(v - 350 / s), 0);
    // Reversing arm and reach rod.
    canvas.line(point(j.linkPivot), point(j.reversingArm), view.pen(80, {200, 0, 0}));
    canvas.line(point(j.reversingArm), {0, px((v - 1300 / s + j.reversingArm.y) / 2)}, view.pen(80, {200, 200, 200}));
    pin(canvas, point(j.reversingArm), pinRadius);
    pin(canvas, point(j.armMidpoint), pinRadius);
    // Crank, return crank and eccentric rod.
    const int crankBoss = px(100 / s);
    const PixelPoint cp = point(j.crankPin);
    canvas.ellipse(cp.x - crankBoss, cp.y - crankBoss, cp.x + crankBoss, cp.y + crankBoss, blackPen, Brush{{100, 100, 100}, Fill::solid});
    canvas.line(cp, point(j.returnCrankPin), view.pen(100, {100, 100, 100}));
    canvas.line(point(j.returnCrankPin), point(j.linkFoot), view.pen(80, {120, 120, 120}));
    canvas.line(along(j.returnCrankPin, j.linkFoot, 0.95), along(j.returnCrankPin, j.linkFoot, 0.05), Pen{{220, 0, 0}, 2});
    pin(canvas, point(j.returnCrankPin), pinRadius);
    // Radius rod.
    canvas.line(point(j.combinationTop), point(j.dieBlock), view.pen(80, {150, 150, 150}));
    canvas.line(point(j.dieBlock), along(j.dieBlock, j.combinationTop, 0.26), view.pen(130, {150, 150, 150}));
    canvas.line(along(j.dieBlock, j.combinationTop, 0.25), along(j.dieBlock, j.combinationTop, 0.08), view.pen(80, {100, 100, 100}));
    // Expansion link with its slot.
    const int l = px(1700 / s);
    const PixelPoint m = point(j.linkCentre);
    const auto linkPoint = [&](double angle) { return point(j.linkCentre.x + std::sin(angle) * l, j.linkCentre.y + std::cos(angle) * l); };
    const double lam = j.linkAngle + pi;
    canvas.arc(m.x - l, m.y - l, m.x + l, m.y + l, linkPoint(lam - 0.23), linkPoint(lam + 0.23), view.pen(156, {170, 170, 170}));
    canvas.line(linkPoint(lam + 0.23), point(j.linkFoot), view.pen(80, {170, 170, 170}));
    canvas.arc(m.x - l, m.y - l, m.x + l, m.y + l, linkPoint(lam - 0.21), linkPoint(lam + 0.21), view.pen(80, {100, 100, 100}));
    pin(canvas, point(j.linkFoot), pinRadius);
    pin(canvas, point(j.dieBlock), pinRadius);
    // Union link, valve spindle, water injection, combination lever, lifting arm.
    canvas.line(point(j.combinationFoot), {px(xh), px(v + 180 / s)}, view.pen(80, {130, 130, 130}));
    pin(canvas, point(xh, v + 180 / s), pinRadius);
    const double spindleY = v - 620 / s;
    canvas.line(point(j.rodX, spindleY), point(j.rodX + 1841 / s, spindleY), view.pen(40, {150, 200, 165}));
    for (double collar : {687.0, 1301.0}) {
        canvas.line(point(j.rodX + collar / s, v - 545 / s), point(j.rodX + collar / s, v - 695 / s), blackPen);
    }
    if (c.cylinderWaterInjection > 0) {
        const double amount = c.cylinderWaterInjection;
        for (double x : {4350.0, 5250.0}) {
            fan(canvas, view.x(x), view.y(-770), pi / 2.0, amount * 0.00581 + 0.17, amount * 3 / s, 0.2, cyan);
        }
    }
    canvas.line(point(j.combinationTop), point(j.combinationFoot), view.pen(80, {90, 90, 90}));
    for (const PixelPoint& p : {point(j.combinationTop), point(j.combinationFoot), point(j.rodX, spindleY)}) pin(canvas, p, pinRadius);
    canvas.line(point(j.liftingArm), along(j.liftingArm, j.linkPivot, 1.3), view.pen(100, {200, 0, 0}));
}

void flapsAndHeads(Canvas& canvas, const LocomotiveState& c, const View& view) {
    const double s = view.s, u = view.u, v = view.v;
    // Blast-pipe flap.
    const Pen flap{{0, 200, 0}, 4};
    const int left = px(u + 5460 / s - 3), top = px(v - 1250 / s + 3), right = px(u + 5160 / s + 3), bottom = px(v - 950 / s - 3);
    if (c.blastPipeClosed) {
        canvas.arc(left, top, right, bottom, point(u + 5416.07 / s, v - 1206.07 / s), point(u + 5203.93 / s, v - 1206.07 / s), flap);
        canvas.line(point(u + 5310 / s, v - 1100 / s), point(u + 5310 / s, v - 1250 / s + 4), flap);
    } else {
        canvas.arc(left, top, right, bottom, point(u + 5416.07 / s, v - 993.93 / s), point(u + 5416.07 / s, v - 1206.07 / s), flap);
        canvas.line(point(u + 5310 / s, v - 1100 / s), point(u + 5460 / s - 4, v - 1100 / s), flap);
    }
    const int pinRadius = px(40 / s);
    for (const PixelPoint& p : {point(view.j.linkPivot), point(view.j.liftingArm), point(u + 5310 / s, v - 1100 / s),
                                PixelPoint{px(u + 700 / s), px(v - 700 / s)}}) {
        pin(canvas, p, pinRadius);
    }
    // Counter-pressure throttle slide and the piston-valve heads.
    const int h = px(4000 - c.counterPressureThrottle * 1.5);
    canvas.rectangle(px(u + h / s), px(v - 1050 / s), px(u + (h - 200) / s), px(v - 1200 / s), blackPen, blackBrush);
    head(canvas, c.valveHeadRearX, px(v - 770 / s), px(c.valveHeadRearX + 130 / s), px(v - 470 / s), px(234 / s));
    head(canvas, px(c.valveHeadFrontX - 130 / s), px(v - 770 / s), c.valveHeadFrontX, px(v - 470 / s), -px(234 / s));
}

}  // namespace

Rgb spaceColour(double pressure, double temperature) {
    const int green = std::clamp(px(255 - pressure * 0.0001821), 0, 255);
    const int red = std::clamp(px((255 - green) / 430.0 * temperature + green * 1.681395349 - 173.755814 + 1), 0, 255);
    return {byte(red), byte(green), 255};
}

void advanceBrakeGlow(DisplayMemory& memory, double timeFactor, const LocomotiveState& copy) {
    const double target = std::fabs(copy.wheelSpeed) > 0.0 ? copy.brake : (copy.brake != 0 ? 1.0 : 0.0);
    const double step = timeFactor * 100.0;  // infinite at STOP: straight to the target
    if (memory.wheelGlow < target) memory.wheelGlow = std::min(memory.wheelGlow + step, target);
    else if (memory.wheelGlow > target) memory.wheelGlow = std::max(memory.wheelGlow - step, target);
    if (copy.sandSeconds < 10.0) memory.sandFront = memory.sandRear = false;
}

void drawGradientAndPlumes(Canvas& canvas, const LocomotiveState& c, const FramePreparation& frame) {
    const double s = c.displayScale, u = frame.anchorX, v = frame.anchorY;
    // The line the train runs on, redder the more slippery.
    const Pen line{{byte(px(467.5 - c.frictionFactor * 2125)), 0, 0}, 3};
    const double y = v - 1300 / s;
    const int g = c.gradient;
    if (g < 1) canvas.line({0, px(y + g * c.clientWidth / 1000)}, {c.clientWidth, px(y)}, line);
    else canvas.line({0, px(y)}, {c.clientWidth, px(y - c.clientWidth * g / 1000)}, line);

    const Rgb grey{180, 180, 180};
    const auto plume = [&](double x, double yy, double value, bool wide, bool sideways) {
        if (!(value > 0.0)) return;
        const double half = value * (wide || sideways ? 0.18 : 0.05) + 0.1;
        fan(canvas, x, yy, sideways ? 0.0 : 3.0 * pi / 2.0, half, value * 500 / s, 0.1, grey);
    };
    if (c.blastPipeClosed) plume(u + 5800 / s, v - 1100 / s, c.blastPipeFlow, false, true);
    else plume(u + 5310 / s, v - 1500 / s, c.blastPipeFlow, false, false);
    plume(u + 3925 / s, v - 1800 / s, c.counterPressureThrottleFlow, true, false);
    plume(u + 5260 / s, v - 1450 / s, c.blowerSetting / 50.0, false, false);
    plume(u + 5360 / s, v - 1450 / s, c.blowerSetting / 50.0, false, false);
}

void drawSideView(Canvas& canvas, const LocomotiveState& c, const FrameState& rules, DisplayMemory& memory,
                  const FramePreparation& frame) {
    const View view{c.displayScale, frame.anchorX, frame.anchorY, c, frame.joints};
    runningGear(canvas, c, rules, memory, view);
    cylinderSpaces(canvas, view);
    cylinderWater(canvas, view);
    if (c.blastPipeClosed) {
        const PixelPoint a = view.at(5285, -1500), b = view.at(5335, -1247.9);
        canvas.rectangle(a.x, a.y, b.x, b.y, Pen{white, 1}, whiteBrush);
    }
    outlines(canvas, view);
    // Jets of the drain cocks and the relief valves.
    if (c.drainCocksOpen) {
        jet(canvas, view, view.x(4350), view.y(350), c.cylinder1SpaceB, JetDirection::down);
        jet(canvas, view, view.x(5250), view.y(350), c.cylinder1SpaceA, JetDirection::down);
        jet(canvas, view, view.x(4800), view.y(350), c.steamChest, JetDirection::down);
    }
    if (c.reliefA1) jet(canvas, view, view.x(5300), view.y(320), c.cylinder1SpaceA, JetDirection::right);
    if (c.reliefB1) jet(canvas, view, view.x(4300), view.y(320), c.cylinder1SpaceB, JetDirection::left);
    valveGear(canvas, c, view);
    flapsAndHeads(canvas, c, view);
}

}  // namespace zt40
