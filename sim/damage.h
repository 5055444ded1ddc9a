#pragma once
// The kinds of damage a frame can find; each ends the run in the workshop.
// The numbers are those the render thread reports in its byte.

#include <cstdint>

namespace zt40 {

enum class Damage : std::uint8_t {
    none = 0,
    pistonValveBroken = 1,         // valve heads caught on their rod at speed, the sixth time
    overspeed = 2,                 // wheels above 32 m/s
    runningGearBySanding = 3,      // sand into slipping wheels, the sixth time
    cylinderCoverBurst = 4,        // the cylinder cover gave way
    boilerExplosion = 5,           // the crown sheet bared: water depth above 570 mm
};

// The workshop's message for a damage, as the driver reads it.
const char* workshopText(Damage damage);

}  // namespace zt40
