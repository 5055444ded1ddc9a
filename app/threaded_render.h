#pragma once
// The display on its own thread, drawing onto the window's frames.

#include "render_controller.h"
#include "render_port.h"

namespace zt40 {

class ThreadedRender final : public RenderPort {
public:
    explicit ThreadedRender(FrameTarget& target) : controller_(target) {}
    bool start(LocomotiveState& state) override { return controller_.start(state); }
    Damage exchange(LocomotiveState&) override { return controller_.exchange(); }

private:
    RenderController controller_;
};

}  // namespace zt40
