#pragma once
// The display on its own thread, handed every tick's record: each hand-over
// first waits for the frame in progress. The headless runner draws with it,
// so that a run shown in pictures takes the same decisions as one without.

#include <chrono>

#include "render_controller.h"
#include "render_port.h"

namespace zt40 {

class ParkedRender final : public RenderPort {
public:
    explicit ParkedRender(FrameTarget& target) : controller_(target) {}
    bool start(LocomotiveState& state) override { return controller_.start(state); }
    Damage exchange(LocomotiveState& state) override {
        // A frame that hangs is given up on, as the program's own display would be refused.
        if (state.displayScale > 0.0) controller_.waitUntilIdle(std::chrono::seconds(10));
        return controller_.exchange();
    }

private:
    RenderController controller_;
};

}  // namespace zt40
