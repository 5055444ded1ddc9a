#include "damage.h"

namespace zt40 {

const char* workshopText(Damage damage) {
    switch (damage) {
        case Damage::pistonValveBroken:
            return "Min 1 Kolbenschieber gebrochen. Schieber ist zu stark mit seinem\nHalter kollidiert. Zuviel Druck "
                   "oder Fehlbedienung beim Lastwechsel.";
        case Damage::overspeed:
            return "Maschine wurde durch zu hohe Fliehkräfte,\nwegen zu schnellen Fahren beschädigt.";
        case Damage::runningGearBySanding:
            return "Triebwerk durch Sanden in die schleudernten\nRäder beschädigt. Es entstanden\nzu hohe Kräfte.";
        case Damage::cylinderCoverBurst:
            return "Mindestens ein Zylinderdeckel wurde zerstört.\nEs entstand zu hoher Druck oder Wasserschlag.";
        case Damage::boilerExplosion:
        default: return "Kesselzerknall durch Niedrigwasser.";
    }
}

}  // namespace zt40
