#pragma once
// The piston valves in their simplest form: steam in the chest lifts them
// into working position; with the chest empty they fall back into their
// idle by-pass position once the wheels turn or the reverser is moved.

#include <cmath>

#include "locomotive_state.h"

namespace zt40 {

inline void engageValvesBySteam(SimulationBlock& block) {
    if (block.steamChest.pressure > 50000.0) {
        block.valvesEngaged = true;
    } else if (block.steamChest.pressure < 1000.0 && block.valvesEngaged &&
               (std::fabs(block.wheelSpeed) > 0.0001 || block.reverserMoved)) {
        block.valvesEngaged = false;
        block.reverserMoved = false;
    }
}

}  // namespace zt40
