#pragma once
// Which fields of the simulation block travel which way between the main
// copy and the simulation thread's private copy. This list is the contract
// every other part of the program relies on; the exchange copies by it.
//
//   in       main copy -> simulation copy; the fields of ModelInputs
//   out      simulation copy -> main copy; the fields of ModelResults
//   both     two-way: a value the main thread changed since the last
//            exchange goes in, otherwise the simulation's value comes out;
//            the doubles of SharedValues
//   request  a one-shot order from the main thread: goes in when set and is
//            then cleared in the main copy; the simulation clears its own
//            copy once it has carried the order out; the flag of SharedValues
//
// Each entry names its field through the part that holds it, so a field
// listed in the wrong direction does not compile, and a visitor receives
// pointers to members of that part:
//
//   template <class T> void in(T ModelInputs::*);
//   template <class T> void out(T ModelResults::*);
//   void both(double SharedValues::*, double TwoWayMemory::*);
//   void request(bool SharedValues::*);
//
// A test checks that the entries of each direction cover their part.

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
    using In = ModelInputs;
    using Out = ModelResults;
    using Both = SharedValues;
    // Inputs of the model.
    v.in(&In::expansionEnd); v.in(&In::blastPipeArea); v.in(&In::stepInterval); v.in(&In::boilerPower);
    v.in(&In::distance); v.in(&In::frictionFactor); v.in(&In::sandBonus); v.in(&In::portArea);
    v.in(&In::superheaterPower); v.in(&In::exhaustEnd); v.in(&In::valveLead); v.in(&In::counterPressureThrottle);
    v.in(&In::fireSetpoint); v.in(&In::blowerSetting); v.in(&In::waterQuality); v.in(&In::pilotValve);
    v.in(&In::regulator); v.in(&In::simSpeedCode); v.in(&In::gradient); v.in(&In::cylinderWaterInjection);
    v.in(&In::brake); v.in(&In::injectorRate); v.in(&In::reverser); v.in(&In::ambientTemp);
    v.in(&In::reverserMoved); v.in(&In::trainWeight); v.in(&In::autoFiring); v.in(&In::blastPipeClosed);
    v.in(&In::valvesEngaged); v.in(&In::drainCocksOpen); v.in(&In::indicatorSide); v.in(&In::simHold);
    v.in(&In::fineTimer);

    // Results of the model.
    v.out(&Out::wheelAngle); v.out(&Out::carryingWheelAngle); v.out(&Out::wheelSpeed); v.out(&Out::wheelPower);
    v.out(&Out::acceleration); v.out(&Out::blastPipeFlow); v.out(&Out::blastPipeAuxFlow);
    v.out(&Out::counterPressureThrottleFlow); v.out(&Out::steamChestPyrometer); v.out(&Out::trueWaterDepth);
    v.out(&Out::gaugeGlassLevel); v.out(&Out::boilerSteamDraw); v.out(&Out::autoFiringShortfall);
    v.out(&Out::primingRate); v.out(&Out::blowerSteamFlow); v.out(&Out::fireRate);
    v.out(&Out::peakCylinderPressure); v.out(&Out::indicatorCount); v.out(&Out::indicatorIndex);
    v.out(&Out::indicatorSamples); v.out(&Out::exhaustBeats);
    v.out(&Out::steamChest); v.out(&Out::cylinder1SpaceA); v.out(&Out::cylinder1SpaceB);
    v.out(&Out::exhaustSpace); v.out(&Out::boilerSteam);
    v.out(&Out::wheelSlip); v.out(&Out::reliefA1); v.out(&Out::reliefB1); v.out(&Out::reliefSide2);
    v.out(&Out::cylinderCoverBurst); v.out(&Out::waterSloshing); v.out(&Out::fireShortfall);
    v.out(&Out::safetyValveOpen);
    v.out(&Out::indication); v.out(&Out::boilerBalance);

    // Written by both sides.
    v.both(&Both::trainSpeed, &TwoWayMemory::lastTrainSpeed);
    v.both(&Both::cylinderWallTemp, &TwoWayMemory::lastCylinderWallTemp);
    v.both(&Both::tankWater, &TwoWayMemory::lastTankWater);
    v.both(&Both::simTime, &TwoWayMemory::lastSimTime);

    // Orders from the main thread: the temperature keys and the data dialog
    // ask for the near-empty working spaces to take the new wall temperature.
    v.request(&Both::resetSpaces);
}

// Swaps inputs and results between the main copy and the simulation copy by
// the list above, and updates the remembered two-way values.
void exchangeFields(SimulationBlock& mainCopy, SimulationBlock& simulationCopy, TwoWayMemory& memory);

// Remembers the two-way values of the main copy, as after an exchange.
void rememberTwoWayFields(const SimulationBlock& mainCopy, TwoWayMemory& memory);

}  // namespace zt40
