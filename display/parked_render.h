#pragma once
// The display on its own thread, shown every view: each hand-over first
// waits for the frame in progress. The headless runner draws with it, so
// that its pictures show every tick of the run.

#include <chrono>

#include "frame_sink.h"
#include "render_controller.h"

namespace zt40 {

class ParkedRender final : public FrameSink {
public:
    explicit ParkedRender(FrameTarget& target) : controller_(target) {}
    bool start() override { return controller_.start(); }
    void show(const FrameView& view) override {
        // A frame that hangs is given up on, as the program's own display would be passed over.
        controller_.waitUntilIdle(std::chrono::seconds(10));
        controller_.exchange(view);
    }

private:
    RenderController controller_;
};

}  // namespace zt40
