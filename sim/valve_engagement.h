#pragma once
// The piston valves in their simplest form: steam in the chest lifts them
// into working position; with the chest empty and the wheels turning they
// fall back into their idle by-pass position.

#include <cmath>

#include "locomotive_state.h"

namespace zt40 {

inline void engageValvesBySteam(SimulationBlock& block) {
    if (block.steamChest.pressure > 50000.0) block.valvesEngaged = true;
    else if (block.steamChest.pressure < 1000.0 && std::fabs(block.wheelSpeed) > 0.0001) block.valvesEngaged = false;
}

}  // namespace zt40
