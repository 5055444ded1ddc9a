#pragma once
// Where the render thread draws its frames: a back buffer that is shown
// once the frame on it is finished.

#include <functional>

#include "canvas.h"

namespace zt40 {

class FrameTarget {
public:
    virtual ~FrameTarget() = default;
    // Draws one frame onto the back buffer with `draw`, then shows it.
    virtual void drawFrame(const std::function<void(Canvas&)>& draw) = 0;
};

}  // namespace zt40
