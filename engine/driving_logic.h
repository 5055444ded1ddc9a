#pragma once
// Driving logic of keys, mouse, operating aids, sound and the automatic
// control, as the main window calls it on its ticks and input; the defaults
// do nothing, so the window works with any part of it.

#include "locomotive_state.h"
#include "mouse_codes.h"
#include "cursor_shape.h"
#include "window_messages.h"

namespace zt40 {

class Random15;

class DrivingLogic {
public:
    virtual ~DrivingLogic() = default;
    virtual void handleKey(KeyMessage, int /*virtualKey*/, LocomotiveState&, bool& /*commandChanged*/,
                           bool /*coarseSteps*/) {}
    // Sets `mouseX`, `mouseY` and `hoverTarget`; returns the cursor to show.
    virtual CursorShape hover(MouseMessage, int x, int y, LocomotiveState& state) {
        state.mouseX = x;
        state.mouseY = y;
        return CursorShape::standard;
    }
    // A mouse command: its result, and the key a wheel turn stands for.
    virtual MouseOutcome mouseCommand(MouseMessage, int /*wheelOrRepeat*/, LocomotiveState&,
                                      bool& /*commandChanged*/) {
        return {};
    }
    // The window put the pointer on the knob of a dragged control.
    virtual void pointerPlaced(int /*x*/, int /*y*/) {}
    virtual void automaticInjector(LocomotiveState&) {}
    virtual void regulatorFollowUp(LocomotiveState&, Random15&) {}
    virtual void sanding(LocomotiveState&, double /*dt*/) {}
    virtual void sandBonus(LocomotiveState&, double /*dt*/, Random15&) {}
    // One step of the brake; the period (ms) for the next step, 0 to stop.
    virtual int brakeStep(LocomotiveState&, bool /*starting*/) { return 0; }
    // The sound update of the tick, while the engine is heard.
    virtual void soundUpdate(LocomotiveState&) {}
    virtual void startEngineSound() {}
    virtual void stopAllSound() {}
};

}  // namespace zt40
