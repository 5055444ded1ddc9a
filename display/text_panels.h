#pragma once
// The texts of the window on the drawing layer: the button bar of the cab
// panel (in every frame) and what the text stage decided (status lines
// black on white, the help box blue and the warnings red on yellow).

#include "canvas.h"
#include "locomotive_state.h"
#include "text_boxes.h"

namespace zt40 {

inline constexpr Rgb hintYellow{255, 217, 15};
inline constexpr Rgb helpBlue{0, 0, 255};
inline constexpr Rgb warningRed{255, 0, 0};

// The buttons the mouse clicks, set in the window's text cell; weight,
// water and temperature only at a standstill.
void drawButtonBar(Canvas& canvas, const LocomotiveState& copy);
// Where the button bar stands with the texts beside its buttons: no other
// text covers it.
TextExtent buttonBarArea(const LocomotiveState& copy);

void drawTextStage(Canvas& canvas, const TextStage& text);

}  // namespace zt40
