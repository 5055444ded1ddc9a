#pragma once
// A locomotive in steam as the tests start it: the usual machine settings,
// 13.5 bar, a full tank, cylinders at 15 °C.

#include <memory>

#include "locomotive_state.h"

namespace zt40::testing {

inline std::unique_ptr<SimulationBlock> engineInSteam() {
    auto block = std::make_unique<SimulationBlock>();
    constructSteamSpaces(*block);
    block->stepInterval = 0.015;
    block->fineTimer = true;
    block->expansionEnd = 91.0;
    block->exhaustEnd = 86.0;
    block->valveLead = 2.0;
    block->blastPipeArea = 0.012;
    block->portArea = 0.01;
    block->boilerPower = 742500.0;
    block->superheaterPower = 8000000.0;
    block->frictionFactor = 0.25;
    block->tankWater = 12000.0;
    block->waterQuality = 100;
    block->autoFiring = true;
    block->ambientTemp = 288;
    block->cylinderWallTemp = 288.0;
    block->wheelAngle = 1.0;
    block->displayScale = 5.0;
    block->clientWidth = 1600;
    block->clientHeight = 1170;
    block->boilerSteam.pressure = 1350000.0;
    block->boilerSteam.waterMass = 8500.0;
    return block;
}

}  // namespace zt40::testing
