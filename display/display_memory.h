#pragma once
// What the display keeps from frame to frame for itself, beside what the
// frame rules decided: the glow of the brake shoes, the end of the engine
// the sand runs at, the latches that keep a hint up until its cause has
// clearly gone, and the means of the moving averages it shows.

#include <cstdint>

#include "strip_log.h"

namespace zt40 {

struct DisplayMemory {
    double wheelGlow = 0.0;  // follows the brake
    bool sandFront = false;
    bool sandRear = false;
    // The counter delays the cut-off and equalising hints.
    std::uint8_t equalizeCounter = 0;  // frames, up to 254
    bool boilerLimitLatch = false;
    bool steamChestHighLatch = false;
    bool boilerOverpressureLatch = false;
    // The speed recorder's strip of the drive so far.
    StripLog strip;
};

// The published means of the four averages, as the frame draws them.
struct AverageMeans {
    float heatingSurfaceLoad = 0.0f;  // kg/(m² h)
    float acceleration = 0.0f;        // m/s²
    float wheelPower = 0.0f;          // kW
    float waterPerKm = 0.0f;          // l/km
};

}  // namespace zt40
