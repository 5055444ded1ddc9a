#pragma once
// How the main window reaches the display: start it on the main record,
// then hand the record over once per tick.

#include "damage.h"

namespace zt40 {

struct LocomotiveState;

class RenderPort {
public:
    virtual ~RenderPort() = default;
    virtual bool start(LocomotiveState& state) = 0;
    // Hands the record to the display; returns the damage the last
    // finished frame found.
    virtual Damage exchange(LocomotiveState& state) = 0;
};

}  // namespace zt40
