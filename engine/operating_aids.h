#pragma once
// What the main thread moves by itself, like real equipment: the brake
// following its handle, the automatic injector holding the water level, the
// regulator main valve following the lever with its pressure point, and the
// sanding with its adhesion bonus and its watch for sanding at the wrong
// moment.

#include <cstdint>

#include "locomotive_state.h"
#include "random15.h"

namespace zt40 {

class OperatingAids {
public:
    // One step of the brake towards the handle's command. Returns the
    // period (ms) of the next step, or 0 once the command is reached.
    int brakeStep(LocomotiveState& state, bool starting);

    void automaticInjector(LocomotiveState& state);
    void regulatorFollowUp(LocomotiveState& state, Random15& random);
    void sanding(LocomotiveState& state, double dt);
    void sandBonus(LocomotiveState& state, double dt, Random15& random);

private:
    int brakePeriod_ = 0;  // ms while the brake steps

    // Regulator follow-up.
    double pressurePointThreshold_ = 0.0;  // Pa, 0 = not drawn
    bool regulatorStiff_ = false;
    bool mainValveHeld_ = false;
    int followCounter_ = 0;
    std::int8_t previousLever_ = 0;

    // Sanding.
    bool slipSandingTracked_ = false;
    double slipSandingStartDistance_ = 0.0;  // m
    bool sandDamageChecked_ = false;
    bool sandBonusDecaying_ = false;
    double bonusTarget_ = 0.0;  // adhesion the sand gives now
    double sandDip_ = 0.0;      // level a random dip falls to; 0 none
};

}  // namespace zt40
