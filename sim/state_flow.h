#pragma once
// Which fields of the simulation block travel which way between the main
// copy and the simulation thread's private copy. This list is the contract
// every other part of the program relies on; the exchange copies by it.
//
//   in       main copy -> simulation copy
//   out      simulation copy -> main copy
//   both     two-way: a value the main thread changed since the last
//            exchange goes in, otherwise the simulation's value comes out
//   request  a one-shot order from the main thread: goes in when set and is
//            then cleared in the main copy; the simulation clears its own
//            copy once it has carried the order out

#include "locomotive_state.h"

namespace zt40 {

// Values of the two-way fields as the main copy held them after the
// previous exchange.
struct TwoWayMemory {
    double lastTrainSpeed;        // m/s
    double lastCylinderWallTemp;  // K
    double lastTankWater;         // l
    double lastSimTime;           // s
};

template <class Visitor>
void visitSimulationFlow(Visitor&& v) {
    using S = SimulationBlock;
    // Inputs of the model.
    v.in(&S::expansionEnd); v.in(&S::blastPipeArea); v.in(&S::stepInterval); v.in(&S::boilerPower);
    v.in(&S::distance); v.in(&S::frictionFactor); v.in(&S::sandBonus); v.in(&S::portArea);
    v.in(&S::superheaterPower); v.in(&S::exhaustEnd); v.in(&S::valveLead);
    v.in(&S::counterPressureThrottle); v.in(&S::fireSetpoint); v.in(&S::blowerSetting);
    v.in(&S::waterQuality); v.in(&S::pilotValve); v.in(&S::regulator); v.in(&S::simSpeedCode);
    v.in(&S::gradient); v.in(&S::cylinderWaterInjection); v.in(&S::brake); v.in(&S::injectorRate);
    v.in(&S::reverser); v.in(&S::ambientTemp);
    v.in(&S::reverserMoved); v.in(&S::trainWeight); v.in(&S::autoFiring); v.in(&S::blastPipeClosed);
    v.in(&S::valvesEngaged); v.in(&S::drainCocksOpen); v.in(&S::indicatorSide); v.in(&S::simHold);
    v.in(&S::fineTimer);

    // Results of the model.
    v.out(&S::wheelAngle); v.out(&S::carryingWheelAngle); v.out(&S::wheelSpeed); v.out(&S::wheelPower);
    v.out(&S::acceleration); v.out(&S::blastPipeFlow); v.out(&S::blastPipeAuxFlow);
    v.out(&S::counterPressureThrottleFlow); v.out(&S::steamChestPyrometer); v.out(&S::trueWaterDepth);
    v.out(&S::gaugeGlassLevel); v.out(&S::boilerSteamDraw); v.out(&S::autoFiringShortfall);
    v.out(&S::primingRate); v.out(&S::blowerSteamFlow); v.out(&S::fireRate);
    v.out(&S::peakCylinderPressure); v.out(&S::indicatorCount); v.out(&S::indicatorIndex);
    v.out(&S::indicatorSamples);
    v.out(&S::steamChest); v.out(&S::cylinder1SpaceA); v.out(&S::cylinder1SpaceB);
    v.out(&S::exhaustSpace); v.out(&S::boilerSteam);
    v.out(&S::wheelSlip); v.out(&S::reliefA1); v.out(&S::reliefB1); v.out(&S::reliefSide2);
    v.out(&S::cylinderCoverBurst); v.out(&S::waterSloshing); v.out(&S::fireShortfall);
    v.out(&S::safetyValveOpen);

    // Written by both sides.
    v.both(&S::trainSpeed, &TwoWayMemory::lastTrainSpeed);
    v.both(&S::cylinderWallTemp, &TwoWayMemory::lastCylinderWallTemp);
    v.both(&S::tankWater, &TwoWayMemory::lastTankWater);
    v.both(&S::simTime, &TwoWayMemory::lastSimTime);

    // Orders from the main thread: the temperature keys and the data dialog
    // ask for the near-empty working spaces to take the new wall temperature.
    v.request(&S::resetSpaces);
}

// Swaps inputs and results between the main copy and the simulation copy by
// the list above, and updates the remembered two-way values.
void exchangeFields(SimulationBlock& mainCopy, SimulationBlock& simulationCopy, TwoWayMemory& memory);

// Remembers the two-way values of the main copy, as after an exchange.
void rememberTwoWayFields(const SimulationBlock& mainCopy, TwoWayMemory& memory);

}  // namespace zt40
