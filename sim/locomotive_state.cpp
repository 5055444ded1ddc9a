#include "locomotive_state.h"

namespace zt40 {

void constructSteamSpaces(ModelResults& results) {
    results.steamChest = GasSpace{};
    results.steamChest.steamMass = 0.0001;  // kg
    results.exhaustSpace = GasSpace{};
    results.exhaustSpace.steamMass = 0.0001;  // kg
    results.cylinder1SpaceA = CylinderSpace{};
    results.cylinder1SpaceB = CylinderSpace{};
    results.boilerSteam = GasSpace{};
    results.boilerSteam.initialised = true;
}

}  // namespace zt40
