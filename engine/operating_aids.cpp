#include "operating_aids.h"

#include <algorithm>
#include <cmath>

#include "cab_controls.h"
#include "numeric.h"
#include "sim_speed.h"

namespace zt40 {

namespace {

constexpr double valveOpenPressure = 80000.0;  // Pa in the steam chest that holds the main valve

}  // namespace

int OperatingAids::brakeStep(LocomotiveState& s, bool starting) {
    using namespace cab::brakeValve;
    const Zone zone = zoneOf(s.brakeCommand);
    const bool releasing = zone == Zone::release;
    if (releasing && s.brake > 0) {
        --s.brake;
    } else if ((zone == Zone::apply && s.brake < appliedBrake) || (zone == Zone::full && s.brake < fullBrake)) {
        ++s.brake;
    } else {
        return 0;  // the command is reached: hold, applied, released or full
    }
    // A long train's brake pipe fills and empties slowly.
    if (starting) {
        const bool trainRunning = s.trainWeight != 0 && std::fabs(s.trainSpeed) >= 0.1;
        brakePeriod_ = releasing ? (trainRunning ? 250 : 25) : (trainRunning ? 70 : 20);
    }
    return brakePeriod_;
}

void OperatingAids::automaticInjector(LocomotiveState& s) {
    // Steam drawn, in litres of water per minute.
    const int steam = s.boilerSteamDraw > 4.2 ? 255 : truncateTo<std::uint8_t>(s.boilerSteamDraw * 60.0);
    const double depth = s.trueWaterDepth;   // mm, larger is less water
    const int wanted = s.targetWaterLevel;   // mm on the same scale
    const auto byLevel = [&] {
        if (depth > wanted) return steam + 3;
        if (depth < wanted - 5) return truncateTo<int>(0.8 * steam);
        return steam - 3;
    };
    int rate = 0;  // l/min the injector should feed
    if (!s.autoFiring) {
        rate = byLevel();
    } else {
        const int spare = s.autoFiringShortfall > 0.0 ? truncateTo<int>(0.03 * s.autoFiringShortfall) : 0;
        if ((s.fireRate >= 98 || std::fabs(s.wheelSpeed) > 6.0) && steam > spare) rate = byLevel();
        else if (steam >= spare) rate = spare;
        else if (depth < wanted - 5) rate = truncateTo<int>(s.boilerSteamDraw * 48.0);
        else if (depth < wanted) rate = truncateTo<int>(s.boilerSteamDraw * 60.0);
        else rate = spare;
    }

    // The injector follows by one l/min per tick, faster down in standby.
    int injector = s.injectorRate;
    if (injector > rate) injector = s.fineTimer ? injector - 1 : std::max(injector - 20, 0);
    else if (injector < rate) injector = std::min(injector + 1, cab::injector.high);
    if (depth > 469.0) injector = cab::injector.high;  // the water nearly gone: all it can feed
    if (depth > 474.0 || depth < 50.0) injector = 0;
    s.injectorRate = static_cast<std::uint8_t>(cab::injector.clamp(injector));
}

void OperatingAids::regulatorFollowUp(LocomotiveState& s, Random15& random) {
    const double chest = s.steamChest.pressure;  // Pa
    const int lever = s.pilotValve;
    constexpr int lag = cab::pilotValveSteps;  // lever steps the main valve follows behind
    // The pressure point: above a random chest pressure the lever turns stiff.
    if (lever > 0) {
        if (pressurePointThreshold_ == 0.0) pressurePointThreshold_ = 450000.0 + random.next() * 28.992584;
        if (chest > pressurePointThreshold_) regulatorStiff_ = true;
    } else {
        pressurePointThreshold_ = 0.0;
        regulatorStiff_ = false;
        mainValveHeld_ = false;
    }
    const auto every = [this](int ticks) {
        if (++followCounter_ < ticks) return false;
        followCounter_ = 0;
        return true;
    };
    // A held main valve creeps shut against the pressure.
    if (mainValveHeld_ && regulatorStiff_) {
        if (every(10)) {
            if (s.regulator > 0) --s.regulator;
            if (s.regulator < lever - lag) s.regulator = static_cast<std::int8_t>(lever - lag);
        }
    } else if (lever >= 1 && lever <= lag && !mainValveHeld_ && s.regulator <= 0 && chest > valveOpenPressure) {
        s.regulator = 1;
    }
    if (chest < valveOpenPressure && lever > lag) mainValveHeld_ = false;

    // The main valve follows the lever.
    if (lever > previousLever_) {
        if (s.regulator <= lever - lag) {
            s.regulator = static_cast<std::int8_t>(lever - lag);
            mainValveHeld_ = false;
        }
    } else if (lever < previousLever_) {
        if (chest < valveOpenPressure && lever >= lag) {
            s.regulator = static_cast<std::int8_t>(lever - lag);
        } else {
            s.regulator = static_cast<std::int8_t>(std::min<int>(s.regulator, lever));
            if (s.regulator > 0 && s.regulator <= lag && s.regulator > lever - lag) mainValveHeld_ = true;
        }
    } else if (s.regulator < lever - 15 && chest > valveOpenPressure &&
               (!regulatorStiff_ || (s.regulator > 0 && !mainValveHeld_))) {
        if (every(20)) ++s.regulator;
    } else if (s.regulator > lever - 10 && chest > valveOpenPressure) {
        if (every(20) && s.regulator > 0) --s.regulator;
    }
    previousLever_ = static_cast<std::int8_t>(lever);
}

void OperatingAids::sanding(LocomotiveState& s, double dt) {
    s.sandRunning = false;
    const double travelled = std::fabs(s.distance);  // m

    // The valve open: sand flows while there is any, and an episode under
    // load is watched.
    if (s.sandingOn) {
        bonusTarget_ = 0.2;
        sandBonusDecaying_ = false;
        if (s.sandSeconds > 0.0) {
            s.sandRunning = true;
            if (!SimSpeed(s.simSpeedCode).stopped()) s.sandSeconds -= dt;
            const bool underLoad = s.steamChest.pressure > 100000.0 || s.brake > 100;
            if (!slipSandingTracked_ && underLoad && std::fabs(s.wheelSpeed) > 2.0) {
                slipSandingTracked_ = true;
                slipSandingStartDistance_ = travelled;
            }
            if (!sandDamageChecked_) {
                sandDamageChecked_ = true;
                if (std::fabs(s.trainSpeed) + 2.0 < std::fabs(s.wheelSpeed) && !s.autoSanding) s.sandIntoSlip = true;
            }
        }
        if (s.sandSeconds <= 0.0) s.sandSeconds = 0.0;
    } else {
        sandDamageChecked_ = false;
    }

    // The episode ends: too short, or the bonus fades over the next metres.
    if ((!s.sandingOn || s.sandSeconds <= 0.0) && slipSandingTracked_) {
        slipSandingTracked_ = false;
        if (std::fabs(travelled - slipSandingStartDistance_) <= 4.4) {
            s.sandTooShort = true;
        } else {
            if (s.brake == 0) sandBonusDecaying_ = true;
            slipSandingStartDistance_ = travelled;
            if (s.autoSanding) s.sandingOn = false;
        }
    }
    if (sandBonusDecaying_) {
        s.sandRunning = true;
        bonusTarget_ = 0.2 - std::fabs(s.distance - slipSandingStartDistance_) * 0.00909091;
        if (bonusTarget_ < 0.0) {
            bonusTarget_ = 0.0;
            sandBonusDecaying_ = false;
        }
    }

    // Automatic sanding: on while the wheels slip, off some metres later.
    if (s.autoSanding) {
        if (s.wheelSlip) s.sandingOn = true;
        else if (std::fabs(travelled - slipSandingStartDistance_) >= 4.4) s.sandingOn = false;
    }
}

void OperatingAids::sandBonus(LocomotiveState& s, double dt, Random15& random) {
    if (!s.sandRunning) {
        // A dip ends with the sand: the next sanding starts building up.
        sandDip_ = 0.0;
        s.sandBonus = std::max(s.sandBonus - dt, 0.0);
        return;
    }
    if (sandDip_ > 0.0) {
        // A dip: the sand does not bite for a moment. Sand never takes
        // adhesion away.
        s.sandBonus = std::max(s.sandBonus - dt, 0.0);
        if (s.sandBonus < sandDip_) sandDip_ = 0.0;
        return;
    }
    if (s.sandBonus < bonusTarget_) s.sandBonus = std::min(s.sandBonus + dt, bonusTarget_);
    else if (s.sandBonus > bonusTarget_) s.sandBonus = std::max(s.sandBonus - dt, bonusTarget_);
    if (std::fabs(s.sandBonus - bonusTarget_) < 0.0001 && random.next() < 500) {
        sandDip_ = 0.05 + random.next() * 7.62963e-6;
    }
}

}  // namespace zt40
