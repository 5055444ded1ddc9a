#pragma once
// Where the cab's controls and instruments and the button bar's buttons
// lie, in one table: the cab draws them from it and the mouse takes and
// names them by it. The cab is laid out in design units, millimetres of
// the real engine (a unit lies at pixel d / `displayScale`); the button
// bar in pixels from its left edge. Each control has the area where the
// mouse takes it (its grip, bounds strict), which reaches beyond what is
// drawn where a lever sweeps or a handle is small.

namespace zt40::layout {

struct Point {
    int x, y;  // design units
};
struct Rect {
    int left, top, right, bottom;  // design units
};

constexpr Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
// The square around a circle.
constexpr Rect around(Point centre, int radius) {
    return {centre.x - radius, centre.y - radius, centre.x + radius, centre.y + radius};
}

// The cab's anchor, the reversing wheel's centre: the cab's outline, the
// fire-hole door, the dials and the cut-off scale are laid out from it.
inline constexpr Point anchor{1560, 2000};
inline constexpr Point outlineCorner{560, 700};  // the outline's lower right, from the anchor

// The fire-hole door, from the anchor, with its rounded corners; the
// firing is worked on it.
inline constexpr Rect fireHoleDoor{-1200, -200, -725, 150};
inline constexpr int fireHoleDoorCorner = 100;
inline constexpr Rect firingGrip{350, 1775, 800, 2150};

// The round dials, centres from the anchor. Each is named over the square
// of its face set 10 units to the left.
inline constexpr int dialRadius = 200;
inline constexpr int needleLength = 150;
struct Dial {
    Point fromAnchor;
    constexpr Point centre() const { return anchor + fromAnchor; }
    constexpr Rect grip() const {
        const Point c = centre();
        return {c.x - dialRadius - 10, c.y - dialRadius, c.x + dialRadius - 10, c.y + dialRadius};
    }
};
inline constexpr Dial steamChestGauge{{-100, -1200}};
inline constexpr Dial boilerGauge{{-1300, -1750}};
inline constexpr Dial pyrometer{{-800, -1750}};
inline constexpr Dial brakeGauge{{-200, -1750}};
inline constexpr Dial speedometer{{350, -1000}};

// The reversing wheel round the anchor, and the cut-off scale above it:
// from the anchor, its sides 50 units either way, its ends 230 and 930
// units above.
inline constexpr int reverserWheelRadius = 220;
inline constexpr Rect reverserWheelGrip{1300, 1750, 1800, 2250};
inline constexpr int cutOffScaleHalfWidth = 50;
inline constexpr int cutOffScaleLow = 230, cutOffScaleHigh = 930;
inline constexpr Rect cutOffScaleGrip{1500, 1050, 1600, 1750};

// The two water-gauge glasses stand on their lower fitting; each is named
// over its frame.
inline constexpr int waterGaugeX[] = {1093, 100};
inline constexpr int waterGaugeBase = 1000;      // y of the lower fitting
inline constexpr int waterGaugeHeight = 535;     // up to the upper fitting
inline constexpr int waterGaugeFrameHalfWidth = 70;
inline constexpr int waterGaugeFrameLow = 40, waterGaugeFrameHigh = 495;  // above the base
constexpr Rect waterGaugeGrip(int x) {
    return {x - waterGaugeFrameHalfWidth, waterGaugeBase - waterGaugeFrameHigh, x + waterGaugeFrameHalfWidth,
            waterGaugeBase - waterGaugeFrameLow};
}

// The regulator lever turns about its pivot: a crank inside, an arm that
// works the rod into the boiler (drawn obliquely, set back by the rod's
// offset) and the handle.
inline constexpr Point regulatorPivot{920, 1400};
inline constexpr int regulatorCrank = 60, regulatorArm = 160, regulatorHandle = 400;
inline constexpr Point regulatorRodOffset{600, 700};
inline constexpr Rect regulatorGrip{600, 950, 1150, 1100};

// The train-brake valve handle turns about its pivot.
inline constexpr Point brakeHandlePivot{2100, 1500};
inline constexpr int brakeHandleLength = 300;
inline constexpr Rect brakeHandleGrip{1700, 1200, 2000, 1800};

// The sanding lever: its foot, and its end at rest, sanding to the front
// and sanding to the rear.
inline constexpr Point sandingLeverFoot{1200, 2000};
inline constexpr Point sandingLeverRest{1200, 1800};
inline constexpr Point sandingLeverFront{1100, 1827};
inline constexpr Point sandingLeverRear{1300, 1827};
inline constexpr Rect sandingLeverGrip{1000, 1700, 1250, 2000};

// The two small levers: foot, end when set and end when clear.
struct SmallLever {
    Point foot, set, clear;
    Rect grip;
};
inline constexpr SmallLever blastPipeLever{{1500, 2700}, {1450, 2450}, {1500, 2400}, {1400, 2300, 1600, 2700}};
inline constexpr SmallLever drainCockLever{{1800, 2700}, {1750, 2350}, {1800, 2300}, {1700, 2200, 1900, 2700}};

// The injector handle: its ring, taken over the ring, and its handle.
inline constexpr Point injectorCentre{1560, 500};
inline constexpr int injectorRadius = 100, injectorHandle = 200;
inline constexpr Rect injectorGrip = around(injectorCentre, injectorRadius);

// The valve hand wheels, each taken over its rim.
struct HandWheel {
    Point centre;
    int radius;
    constexpr Rect grip() const { return around(centre, radius); }
};
inline constexpr HandWheel blowerWheel{{120, 1500}, 80};
inline constexpr HandWheel throttleWheel{{1300, 1200}, 120};
inline constexpr HandWheel injectionWheel{{1300, 1600}, 80};

// The button bar at the top right: its left edge in design units, then
// each button's outline in pixels of the 8 x 16 text cell from that edge
// and from the window's top (window_layout.h sets them in the window's
// cell). A click counts strictly inside the outline; on the
// automatic-control button also on its upper edge.
inline constexpr int barLeft = 2150;  // design units
struct BarButton {
    int left, top, right, bottom;  // px
    bool takesTopEdge = false;
};
inline constexpr BarButton weightMinusButton{0, 6, 24, 30};
inline constexpr BarButton weightPlusButton{36, 6, 60, 30};
inline constexpr BarButton speedButton{0, 36, 192, 60};
inline constexpr BarButton displayButton{0, 66, 120, 90};
inline constexpr BarButton soundButton{130, 66, 192, 90};
inline constexpr BarButton waterButton{0, 96, 108, 120};
inline constexpr BarButton dataButton{130, 96, 192, 120};
inline constexpr BarButton temperatureButton{0, 126, 90, 150};
inline constexpr BarButton trackModeButton{100, 126, 192, 150};
inline constexpr BarButton autoControlButton{0, 156, 108, 180, true};
// The texts beside the buttons, px from the bar's edge: the train weight
// right of the weight buttons, the speed right of its button ("10:1" or
// "STOP" at the longest).
inline constexpr Point weightText{72, 12};
inline constexpr Point speedText{198, 42};
inline constexpr int speedLabelLength = 4;  // characters

}  // namespace zt40::layout
