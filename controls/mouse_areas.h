#pragma once
// Where the controls and displays lie under the mouse, in client pixels.
// The cab is laid out in design units (a unit at pixel d / `displayScale`),
// the button bar in pixels from its left edge, the bar columns from the
// window's right edge, and the cylinder cut-away by the dividers the last
// frame drew. Bounds are strict unless marked inclusive.

#include <limits>

#include "locomotive_state.h"

namespace zt40 {

struct PixelArea {
    double left, right, top, bottom;  // px
    bool inclusiveY = false;

    bool contains(int x, int y) const {
        const bool inX = x > left && x < right;
        const bool inY = inclusiveY ? (y >= top && y <= bottom) : (y > top && y < bottom);
        return inX && inY;
    }
};

class MouseLayout {
public:
    explicit MouseLayout(const LocomotiveState& state);

    // The cab's controls.
    PixelArea regulatorLever() const { return design(600, 1150, 950, 1100); }
    PixelArea reverserWheel() const { return design(1300, 1800, 1750, 2250); }
    PixelArea brakeHandle() const { return design(1700, 2000, 1200, 1800); }
    PixelArea sandingLever() const { return design(1000, 1250, 1700, 2000); }
    PixelArea drainCockLever() const { return design(1700, 1900, 2200, 2700); }
    PixelArea blastPipeLever() const { return design(1400, 1600, 2300, 2700); }
    PixelArea firing() const { return design(350, 800, 1775, 2150); }
    PixelArea injector() const { return design(1460, 1660, 400, 600); }
    PixelArea blowerWheel() const { return design(40, 200, 1420, 1580); }
    PixelArea throttleWheel() const { return design(1180, 1420, 1080, 1320); }
    PixelArea injectionWheel() const { return design(1220, 1380, 1520, 1680); }
    // Across the whole width, under the cab.
    PixelArea gradientBand() const { return {-infinity, infinity, 2700 / s_, 3700 / s_}; }
    // The indicator diagram on the right, down to `bottom` design units.
    PixelArea indicator(double bottom) const { return {width_ - 3200 / s_, infinity, -infinity, bottom / s_}; }

    // The button bar.
    PixelArea weightMinus() const { return bar(0, 24, 6, 30); }
    PixelArea weightPlus() const { return bar(36, 60, 6, 30); }
    PixelArea speedButton() const { return bar(0, 192, 36, 60); }
    PixelArea displayButton() const { return bar(0, 120, 66, 90); }
    PixelArea soundButton() const { return bar(130, 192, 66, 90); }
    PixelArea waterButton() const { return bar(0, 108, 96, 120); }
    PixelArea temperatureButton() const { return bar(0, 90, 126, 150); }
    PixelArea dataButton() const { return bar(130, 192, 97, 119, true); }
    PixelArea trackModeButton() const { return bar(100, 192, 127, 149, true); }
    PixelArea autoControlButton() const { return bar(0, 108, 156, 179, true); }

    // Building blocks for the display areas.
    PixelArea design(double x0, double x1, double y0, double y1) const { return {x0 / s_, x1 / s_, y0 / s_, y1 / s_}; }
    PixelArea bar(double a, double b, double y0, double y1, bool inclusiveY = false) const {
        return {barLeft_ + a, barLeft_ + b, y0, y1, inclusiveY};
    }
    // A column between W - fromRight0 and W - fromRight1 (design units), 0 < y < 2500.
    PixelArea column(double fromRight0, double fromRight1) const {
        return {width_ - fromRight0 / s_, width_ - fromRight1 / s_, 0, 2500 / s_};
    }
    double scale() const { return s_; }

    // The centre of the reversing-gear hand wheel, px.
    int reverserCentreX() const { return reverserX_; }
    int reverserCentreY() const { return reverserY_; }

private:
    static constexpr double infinity = std::numeric_limits<double>::infinity();
    double s_;        // design units per pixel
    double width_;    // px
    double barLeft_;  // px
    int reverserX_, reverserY_;
};

}  // namespace zt40
