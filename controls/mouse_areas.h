#pragma once
// Where the controls and displays lie under the mouse, in client pixels:
// the cab at its own scale and its button bar in the window's text cell as
// the cab's layout table and the window's layout place them, the bar
// columns from the window's right edge, and the cylinder cut-away by the
// dividers the last frame drew. Bounds are strict.

#include <limits>

#include "cab_layout.h"
#include "locomotive_state.h"
#include "window_layout.h"

namespace zt40 {

struct PixelArea {
    double left, right, top, bottom;  // px

    bool contains(int x, int y) const { return x > left && x < right && y > top && y < bottom; }
};

class MouseLayout {
public:
    explicit MouseLayout(const LocomotiveState& state);

    // The cab's controls.
    PixelArea regulatorLever() const { return cab(layout::regulatorGrip); }
    PixelArea reverserWheel() const { return cab(layout::reverserWheelGrip); }
    PixelArea brakeHandle() const { return cab(layout::brakeHandleGrip); }
    PixelArea sandingLever() const { return cab(layout::sandingLeverGrip); }
    PixelArea drainCockLever() const { return cab(layout::drainCockLever.grip); }
    PixelArea blastPipeLever() const { return cab(layout::blastPipeLever.grip); }
    PixelArea firing() const { return cab(layout::firingGrip); }
    PixelArea injector() const { return cab(layout::injectorGrip); }
    PixelArea blowerWheel() const { return cab(layout::blowerWheel.grip()); }
    PixelArea throttleWheel() const { return cab(layout::throttleWheel.grip()); }
    PixelArea injectionWheel() const { return cab(layout::injectionWheel.grip()); }
    // The cab's instruments.
    PixelArea dial(const layout::Dial& dial) const { return cab(dial.grip()); }
    PixelArea cutOffScale() const { return cab(layout::cutOffScaleGrip); }
    PixelArea waterGauge(int which) const { return cab(layout::waterGaugeGrip(layout::waterGaugeX[which])); }
    // Across the whole width, from under the cab down to 3700 mm.
    PixelArea gradientBand() const { return {-infinity, infinity, cabFoot / cabS_, 3700 / s_}; }
    // The indicator diagram on the right, down to `bottom` design units.
    PixelArea indicator(double bottom) const { return {width_ - 3200 / s_, infinity, -infinity, bottom / s_}; }

    // The button bar.
    PixelArea weightMinus() const { return bar(layout::weightMinusButton); }
    PixelArea weightPlus() const { return bar(layout::weightPlusButton); }
    PixelArea speedButton() const { return bar(layout::speedButton); }
    PixelArea displayButton() const { return bar(layout::displayButton); }
    PixelArea soundButton() const { return bar(layout::soundButton); }
    PixelArea waterButton() const { return bar(layout::waterButton); }
    PixelArea temperatureButton() const { return bar(layout::temperatureButton); }
    PixelArea dataButton() const { return bar(layout::dataButton); }
    PixelArea trackModeButton() const { return bar(layout::trackModeButton); }
    PixelArea autoControlButton() const { return bar(layout::autoControlButton); }

    // Building blocks for the display areas.
    PixelArea design(double x0, double x1, double y0, double y1) const { return {x0 / s_, x1 / s_, y0 / s_, y1 / s_}; }
    PixelArea cab(const layout::Rect& r) const {
        return {r.left / cabS_, r.right / cabS_, r.top / cabS_, r.bottom / cabS_};
    }
    PixelArea bar(const layout::BarButton& b) const {
        const ButtonBarPlace::Outline o = bar_.at(b);
        return {double(o.left), double(o.right), o.top - (b.takesTopEdge ? 1.0 : 0.0), double(o.bottom)};
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
    static constexpr double cabFoot = layout::anchor.y + layout::outlineCorner.y;  // design units
    double s_;     // design units per pixel
    double cabS_;  // the cab's design units per pixel
    double width_;  // px
    ButtonBarPlace bar_;
    int reverserX_, reverserY_;
};

}  // namespace zt40
