#pragma once
// The display on its own thread, drawing onto the window's frames; a view
// that comes while a frame is still being drawn is passed over.

#include "frame_sink.h"
#include "render_controller.h"

namespace zt40 {

class ThreadedRender final : public FrameSink {
public:
    explicit ThreadedRender(FrameTarget& target) : controller_(target) {}
    bool start() override { return controller_.start(); }
    void show(const FrameView& view) override { controller_.exchange(view); }

private:
    RenderController controller_;
};

}  // namespace zt40
