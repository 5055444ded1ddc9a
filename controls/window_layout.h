#pragma once
// What the window's size decides, in one place, for the drawing and the
// mouse alike: the design's scale, the cell every text is set in, how much
// larger the cab is drawn where the window gives it room, and where the
// button bar stands.
//
// The layout was made for a window of 1600 x 1170 pixels with texts in a
// cell of 8 x 16 pixels. Texts never get smaller than that, so that they
// stay as legible on a small window; on a larger window the cell grows with
// the drawing, in whole pixels and never faster than it, so that every text
// keeps at least the room it has at that size.

#include "cab_layout.h"
#include "locomotive_state.h"
#include "text_cell.h"

namespace zt40 {

// The design area of 8000 x 5851 mm fills the window's narrower side: mm
// per pixel; 0 for a window narrower or lower than 21 pixels, which shows
// nothing and takes no mouse.
double designScale(int clientWidth, int clientHeight);

// The text cell of a window this size.
TextCell textCellFor(int clientWidth, int clientHeight);

// How many times larger than the design the cab is drawn: 1 unless the
// window is wider than the design, where the cab takes some of the band
// beside it, as long as the texts right of it keep their room and the cab
// stays above the side view's track line; at most 1.2.
double cabZoom(int clientWidth, int clientHeight);

// Whether the window is one the layout was made for: the design at the
// scale of 1600 x 1170, the texts in the 8 x 16 cell and the cab at its own
// size. There every text stands where the layout puts it, a help box or a
// warning over what lies under it, as it always has; elsewhere they move
// clear of the other texts.
bool layoutAsMade(int clientWidth, int clientHeight);

// The cab's scale for a frame or a mouse message, mm per pixel.
double cabScale(const LocomotiveState& state);

// The button bar: its left edge beside the cab, and its buttons and texts
// in the window's text cell.
struct ButtonBarPlace {
    int left;  // px
    TextCell cell;

    // A button of the layout table, px in the window.
    struct Outline {
        int left, top, right, bottom;
    };
    Outline at(const layout::BarButton& button) const {
        return {left + cell.scaled(button.left), cell.scaled(button.top), left + cell.scaled(button.right),
                cell.scaled(button.bottom)};
    }
    layout::Point at(layout::Point text) const { return {left + cell.scaled(text.x), cell.scaled(text.y)}; }
    // Right of the speed's label, the bar's widest row, px.
    int right() const { return at(layout::speedText).x + cell.across(layout::speedLabelLength); }
    // Under the last button, px.
    int bottom() const { return cell.scaled(layout::autoControlButton.bottom); }
};

ButtonBarPlace buttonBarPlace(const LocomotiveState& state);

}  // namespace zt40
