#pragma once
// The locomotive from the side, to scale: gradient line and plumes behind
// it, then frame, wheels, rods, cylinder cut-away coloured by pressure and
// temperature, jets, and the whole outside valve gear, moving with the
// crank angle and the reverser.

#include "canvas.h"
#include "display_memory.h"
#include "frame_rules.h"
#include "locomotive_state.h"

namespace zt40 {

// Colour of a steam space: white at atmospheric pressure, losing green as
// the pressure rises, gaining red with temperature.
Rgb spaceColour(double pressure, double temperature);

// The brake shoes' glow follows the brake; the sand flags drop when the box is nearly empty.
void advanceBrakeGlow(DisplayMemory& memory, double timeFactor, const LocomotiveState& copy);

// Stage 2 of the frame: gradient line and the plumes of exhaust, silencer and blower.
void drawGradientAndPlumes(Canvas& canvas, const LocomotiveState& copy, const FramePreparation& frame);

// Stage 6 of the frame: body, running gear, cylinder and valve gear.
void drawSideView(Canvas& canvas, const LocomotiveState& copy, const FrameState& rules, DisplayMemory& memory,
                  const FramePreparation& frame);

}  // namespace zt40
