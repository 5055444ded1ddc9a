#pragma once
// The frame logic without drawing, run in the exchange itself: the headless
// runner sees the valve heads, warnings and damage as the program does.

#include <memory>

#include "frame_handover.h"
#include "frame_logic.h"
#include "locomotive_state.h"
#include "render_port.h"

namespace zt40 {

class InlineRender final : public RenderPort {
public:
    bool start(LocomotiveState& state) override {
        copy_ = std::make_unique<LocomotiveState>(state);
        logic_ = std::make_unique<FrameLogic>(*copy_);
        return true;
    }
    // The render thread's hand-over, then at once the frame's decisions in
    // the order a drawn frame takes them.
    Damage exchange(LocomotiveState& state) override {
        if (!(state.displayScale > 0.0)) return Damage::none;
        const Damage damage = damage_;  // what the last frame found
        handOverToFrame(state, *copy_);
        logic_->prepare(*copy_);
        logic_->cylinderDrawn(*copy_);
        logic_->textStage(*copy_);
        damage_ = logic_->finish();
        return damage;
    }
    const FrameState& frameState() const { return logic_->state(); }

private:
    std::unique_ptr<LocomotiveState> copy_;
    std::unique_ptr<FrameLogic> logic_;
    Damage damage_ = Damage::none;
};

}  // namespace zt40
