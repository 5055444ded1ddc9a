#pragma once
// Where the knobs of the three dragged controls stand, in client pixels,
// for a control setting and the window's scale: the cab draws them there,
// and the mouse measures a drag from there.

namespace zt40 {

struct KnobPosition {
    int x;  // px
    int y;  // px
};

// The regulator lever's knob for `pilotValve` steps of the lever.
KnobPosition regulatorKnob(double scale, int pilotValve);
// The train-brake valve handle's knob for its `brakeCommand`.
KnobPosition brakeKnob(double scale, int brakeCommand);
// The reversing wheel's knob for `reverser` half-percent steps.
KnobPosition reverserKnob(double scale, int reverser);

}  // namespace zt40
