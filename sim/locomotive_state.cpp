#include "locomotive_state.h"

namespace zt40 {

void constructSteamSpaces(SimulationBlock& block) {
    block.steamChest = GasSpace{};
    block.steamChest.steamMass = 0.0001;  // kg
    block.exhaustSpace = GasSpace{};
    block.exhaustSpace.steamMass = 0.0001;  // kg
    block.cylinder1SpaceA = CylinderSpace{};
    block.cylinder1SpaceB = CylinderSpace{};
    block.boilerSteam = GasSpace{};
    block.boilerSteam.initialised = true;
}

}  // namespace zt40
