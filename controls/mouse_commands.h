#pragma once
// The mouse works every control of the cab: the regulator lever and the
// brake handle are dragged, the reversing-gear hand wheel is turned by
// circling the pointer around its centre, the valve hand wheels step with
// the buttons (held buttons repeat) or turn with the wheel, levers and
// buttons toggle on a click. The command logic turns one button, wheel,
// repeat or drag-move message into changes of the main record and a result
// for the main window's timers.

#include <optional>

#include "locomotive_state.h"
#include "mouse_areas.h"
#include "mouse_codes.h"
#include "sound_output.h"
#include "window_messages.h"

namespace zt40 {

class MouseCommands {
public:
    // `wheelOrRepeat` is the wheel delta for a wheel message (positive
    // away from the driver) and the repeat message's offset for a repeat.
    // The point is the record's `mouseX`, `mouseY`.
    MouseOutcome command(MouseMessage message, int wheelOrRepeat, LocomotiveState& state, bool& commandChanged,
                         SoundOutput& sound);

    // The window put the pointer on (x, y): the knob of the dragged lever
    // or handle. Drag moves are measured from there.
    void pointerPlaced(int x, int y) { anchorX_ = x, anchorY_ = y; }

    bool leftHeld() const { return leftHeld_; }
    bool rightHeld() const { return rightHeld_; }

private:
    struct Message;
    // Each group of cases gives an outcome when one of its cases applies.
    MouseOutcome released(const Message& m, LocomotiveState& s);
    MouseOutcome gradientBand(const Message& m, LocomotiveState& s);
    MouseOutcome reverserWheel(const Message& m, const MouseLayout& layout, LocomotiveState& s);
    MouseOutcome regulatorLever(const Message& m, LocomotiveState& s);
    MouseOutcome brakeHandle(const Message& m, LocomotiveState& s);
    std::optional<MouseOutcome> leversAndWeights(const Message& m, const MouseLayout& layout, LocomotiveState& s);
    std::optional<MouseOutcome> blowerAndBar(const Message& m, const MouseLayout& layout, LocomotiveState& s,
                                             bool& commandChanged, SoundOutput& sound);
    std::optional<MouseOutcome> handWheels(const Message& m, const MouseLayout& layout, LocomotiveState& s);
    MouseOutcome lastClicks(const Message& m, const MouseLayout& layout, LocomotiveState& s);
    // A hand wheel: the left button closes, the right opens, one unit a
    // press or repeat while `manual`; nothing when neither applies.
    using Turn = bool (*)(LocomotiveState&, int by);
    std::optional<MouseOutcome> handWheel(const Message& m, LocomotiveState& s, Turn turn, bool manual,
                                          MouseResult held);

    // How far the pointer went since it was last measured or put on the knob, px.
    int moveX(const LocomotiveState& s) const { return s.mouseX - anchorX_; }
    int moveY(const LocomotiveState& s) const { return s.mouseY - anchorY_; }
    void measured(const LocomotiveState& s) { anchorX_ = s.mouseX, anchorY_ = s.mouseY; }

    bool leftHeld_ = false;
    bool rightHeld_ = false;
    bool gradientDetent_ = false;
    bool reverserDrag_ = false;
    bool regulatorDrag_ = false;
    bool brakeDrag_ = false;
    int anchorX_ = 0, anchorY_ = 0;  // px
};

// The regulator lever after a pull of `pull` px towards opening (negative:
// closing), with its pressure point: the main valve `mainValve` and the
// steam-chest pressure decide how stiff the lever is past the point.
int draggedPilotValve(int pilotValve, int pull, int mainValve, double chestPressure, bool lighter, bool heavier);

// Steps of the reversing gear for a turn of the pointer from the knob
// around the wheel centre, px relative to the centre; positive turns
// towards forward. No turn when either point lies on the centre.
int reverserTurn(double pointerX, double pointerY, double knobX, double knobY);

}  // namespace zt40
