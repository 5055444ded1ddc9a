#pragma once
// Without a display: what a frame does for the model, the release of the
// hold that a repaint puts on it and the piston valves in their simplest
// form.

#include "locomotive_state.h"
#include "render_port.h"
#include "valve_engagement.h"

namespace zt40 {

class FrameStandIn final : public RenderPort {
public:
    bool start(LocomotiveState&) override { return true; }
    Damage exchange(LocomotiveState& state) override {
        state.simHold = false;
        engageValvesBySteam(state);
        return Damage::none;
    }
};

}  // namespace zt40
