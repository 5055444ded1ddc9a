#include "auto_control.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "cab_controls.h"
#include "numeric.h"
#include "sim_speed.h"

namespace zt40 {

namespace {

constexpr int fullGear = cab::reverser.high;                 // half-percent steps, 80 % cut-off
constexpr int leverFullyOpen = cab::regulatorLever.high;     // regulator lever steps
constexpr int throttleFullyOpen = cab::throttleValve.high;  // counter-pressure throttle steps
constexpr int throttleBrakingBase = 15;                      // half a turn of the throttle valve
constexpr double startPhaseEnd = 6.1;   // m/s
constexpr double crawl = 1.39;          // m/s: below it the control starts from rest
constexpr double brakingSpeed = 4.3;    // m/s: counter-pressure braking only above it

// Brake valve positions the control uses.
constexpr std::int8_t brakeRelease = cab::brakeValve::releasePosition;
constexpr std::int8_t brakeHold = cab::brakeValve::holdPosition;
constexpr std::int8_t brakeApply = cab::brakeValve::applyPosition;

int towards(int value, int target) { return value + (value < target) - (value > target); }

// A setting as far as its control's travel goes.
std::int8_t within(const cab::Travel<int>& travel, int value) { return static_cast<std::int8_t>(travel.clamp(value)); }

}  // namespace

void AutoControl::smoothSteamDraw(double boilerSteamDraw, double tickTime) {
    const double step = 0.6 * tickTime;  // kg/s per tick
    smoothedSteamDraw_ =
        std::max(0.0, smoothedSteamDraw_ + std::clamp(boilerSteamDraw - smoothedSteamDraw_, -step, step));
}

AutoControlEffects AutoControl::step(LocomotiveState& s, AutoControlSettings& settings) {
    AutoControlEffects effects;
    if (!initialised_) {
        initialised_ = true;
        previousSteamDraw_ = smoothedSteamDraw_;
        previousChestPressure_ = s.steamChest.pressure;
        workingPower_ = settings.targetPower;
        workingBackPressure_ = settings.backPressure;
        cutoffTarget_ = settings.minCutoff;
    }

    // Settings taken over.
    workingBackPressure_ = settings.backPressure;
    s.autoSanding = settings.autoSand;

    // Direction: requests are taken near standstill at mid gear; r counts
    // gear in the direction of travel.
    if (std::fabs(s.trainSpeed) < 1.0 && std::abs(s.reverser) <= 1) {
        if (settings.forwardRequest) {
            driveForward_ = true;
            settings.forwardRequest = false;
        } else if (settings.reverseRequest) {
            driveForward_ = false;
            settings.reverseRequest = false;
        }
    }
    Step k{};
    k.v = std::fabs(s.trainSpeed);
    k.P = s.steamChest.pressure;
    k.s = smoothedSteamDraw_;
    k.r = driveForward_ ? -s.reverser : s.reverser;
    k.lever = s.pilotValve;
    k.valvesEngaged = s.valvesEngaged;

    // Trends since the previous step.
    k.t.drawRising = k.s - previousSteamDraw_ > 0.01;
    k.t.drawFalling = previousSteamDraw_ - k.s > 0.01;
    k.t.chestRising = k.P - previousChestPressure_ > 1.0;
    k.t.chestFalling = previousChestPressure_ - k.P > 1.0;
    previousSteamDraw_ = k.s;
    previousChestPressure_ = k.P;

    // Cut-off and power targets, then the speed mode's limits.
    if (!startPhaseDone_) startPhase(k, settings);
    else afterStartPhase(k, settings);
    if (settings.speedMode && speedModeLimits(k, s, settings)) effects.startBrakeStepping = true;

    if (SimSpeed(s.simSpeedCode).stopped()) effects.stopTimer = true;

    // Standstill and the end of the start phase.
    if (cutoffTarget_ < settings.minCutoff) ++cutoffTarget_;
    if (k.v == 0.0) {
        // Standing, the control starts afresh as with floating valves: full
        // gear, lever cracked, then open. The valves themselves stay where
        // steam holds them; only the valve model moves them.
        startPhaseDone_ = false;
        k.valvesEngaged = false;
    } else if (k.v > startPhaseEnd) {
        startPhaseDone_ = true;
    }
    k.L0 = k.lever;

    // One of three branches.
    if (!k.valvesEngaged) valvesFloating(k, s, settings);
    else if (!brakingPhase_) driving(k, s, settings, effects);
    else counterPressureBraking(k, s, settings);

    // The result, with the direction's sign; slipping wheels throw the lever back.
    s.reverser = driveForward_ ? -k.r : k.r;
    if (std::fabs(s.wheelSpeed) > k.v + 2.0) k.lever = std::min(k.lever, 10);
    s.pilotValve = within(cab::regulatorLever, k.lever);
    return effects;
}

void AutoControl::startPhase(Step& k, const AutoControlSettings& settings) {
    cutoffTarget_ = k.v < crawl ? fullGear : truncateTo<int>(180.292 - 14.599 * k.v);
    cutoffTarget_ = std::max(cutoffTarget_, settings.minCutoff);
    // The chest pressure rises with the speed as the train gets going.
    k.aim = k.v < 1.0 ? 600000.0 : k.v < 4.1 ? 800000.0 : k.v < 5.5 ? 1000000.0 : settings.targetChestPressure;
    k.aim = std::min(k.aim, settings.targetChestPressure);
    const double W = workingPower_;
    if (!k.t.chestRising && k.P < k.aim + 10000.0 && W < settings.targetPower) {
        workingPower_ += 0.01;
    } else if ((!k.t.chestFalling && k.P > k.aim - 10000.0) || W > settings.targetPower) {
        workingPower_ = std::max(0.0, W - 0.01);
    }
}

void AutoControl::afterStartPhase(Step& k, const AutoControlSettings& settings) {
    k.aim = settings.targetChestPressure;
    workingPower_ = settings.targetPower;
    // A longer cut-off draws the chest down, a shorter one lets it rise.
    if (!k.t.chestRising && k.P > k.aim + 50000.0) {
        cutoffTarget_ = std::min(cutoffTarget_ + 1, fullGear);
    } else if ((!k.t.chestFalling && k.P < k.aim - 50000.0) || settings.targetChestPressure >= 1380000.0) {
        cutoffTarget_ = std::max(cutoffTarget_ - 1, settings.minCutoff);
    }
}

// Returns whether the brake command changed.
bool AutoControl::speedModeLimits(Step& k, LocomotiveState& s, const AutoControlSettings& settings) {
    const double v = k.v, vt = settings.targetSpeed;  // m/s

    // Less power as the speed nears the target.
    const double W = workingPower_;
    const double powerLimit = W / 2.0 - (v - vt) * W / 0.9;
    workingPower_ = std::min(W, powerLimit);
    if (vt < 0.5 || powerLimit < (startPhaseDone_ ? 0.3 : 0.0)) workingPower_ = 0.0;

    // Counter-pressure sets in from about 0.65 m/s above the target.
    const double B = workingBackPressure_;
    const double backLimit = B / 2.0 - (vt - v + 1.1) * B / 0.9;
    workingBackPressure_ = std::min(B, backLimit);
    if (backLimit <= 0.0) workingBackPressure_ = 0.0;

    // Train brake.
    const std::int8_t before = s.brakeCommand;
    const double a = s.acceleration;  // m/s²
    if (v <= 4.0 || (k.valvesEngaged && !brakingPhase_)) {
        if (vt == 0.0) {
            s.brakeCommand = a < -0.3 ? brakeRelease : (a <= -0.2 || v == 0.0) ? brakeHold : brakeApply;
        } else {
            const bool climbing = driveForward_ ? s.gradient >= 2 : s.gradient <= -2;
            if (!climbing) s.brakeCommand = brakeRelease;
        }
    } else {
        const double b = std::clamp(50.0 - (vt - v + 3.0) * 111.1111, 0.0, 100.0);  // % wanted
        if (b < s.brake || b == 0.0 || v < 4.01 || (vt > 0.0 && a < -0.4)) s.brakeCommand = brakeRelease;
        else if (b <= s.brake || (vt > 0.0 && a <= -0.3)) s.brakeCommand = brakeHold;
        else s.brakeCommand = brakeApply;
    }

    // No hard acceleration close to the target.
    if (a > 0.5 && v > 0.6687 * vt) workingPower_ *= 0.1;
    else if (a > 0.1 && v > 0.8313 * vt) workingPower_ *= 0.01;
    return s.brakeCommand != before;
}

void AutoControl::valvesFloating(Step& k, LocomotiveState& s, const AutoControlSettings& settings) {
    const double W = workingPower_, B = workingBackPressure_;
    const bool drivingWanted =
        !(settings.targetPower <= 0.0 || (settings.speedMode && (startPhaseDone_ ? W <= 1.12 : W <= 0.0)) ||
          (!settings.speedMode && B != 0.0) || brakingPhase_);
    const bool brakingPossible =
        B > 100000.0 && (settings.speedMode ? W == 0.0 : settings.targetPower == 0.0) && k.v > brakingSpeed;

    if (drivingWanted) {
        if (k.v <= crawl) {
            // Full gear with the lever cracked, then open until the valves engage.
            if (k.r < fullGear) {
                k.lever = 1;
                ++k.r;
            } else if (k.lever < leverFullyOpen) {
                ++k.lever;
            }
        } else if (k.r != 0) {
            k.r = towards(k.r, 0);
        } else if (k.lever < leverFullyOpen) {
            ++k.lever;
        }
        return;
    }
    if (brakingPossible) {
        if (k.r != 0) {
            k.r = towards(k.r, 0);
            return;
        }
        brakingHold_ = false;
        s.blastPipeClosed = true;
        brakingPhase_ = true;
        const int throttle = s.counterPressureThrottle;
        if (throttle != throttleBrakingBase) s.counterPressureThrottle = within(cab::throttleValve, towards(throttle, throttleBrakingBase));
        else k.lever = std::min(k.lever + 1, leverFullyOpen);  // to engage the valves
        return;
    }
    // Wind-down, in this order: injection, reverser, throttle, blast pipe.
    if (s.cylinderWaterInjection >= 1) {
        --s.cylinderWaterInjection;
    } else if (k.r < 0) {
        ++k.r;
    } else if (k.r == 0 && s.counterPressureThrottle >= 1) {
        --s.counterPressureThrottle;
    } else if (s.counterPressureThrottle == 0 && s.blastPipeClosed) {
        s.blastPipeClosed = false;
        brakingPhase_ = false;
        brakingHold_ = false;
    } else if (!brakingPhase_) {
        if (k.v <= crawl) {
            k.r = towards(k.r, 0);
            startPhaseDone_ = false;
        } else {
            k.r = towards(k.r, 20);  // drifting gear
        }
    }
}

void AutoControl::driving(Step& k, LocomotiveState& s, const AutoControlSettings& settings,
                          AutoControlEffects& effects) {
    const double W = workingPower_, B = workingBackPressure_;
    const bool notRising = !k.t.drawRising, notFalling = !k.t.drawFalling;

    // Reverser by lever position.
    if (k.L0 == 0) {
        if (k.r < 106) k.r += 4;  // drifting: well out
        else if (k.r > 114 && cutoffTarget_ < 105) k.r -= 4;
    } else if (k.L0 <= 112) {
        if (k.r > cutoffTarget_) --k.r;
    } else if (notFalling && k.s > 1.0606 * W && k.r > cutoffTarget_) {
        k.r -= 4;
    } else if (notRising && k.s < 0.9696 * W && k.r < fullGear) {
        ++k.r;
    } else if (notFalling && k.s > 1.0303 * W && k.r > cutoffTarget_) {
        --k.r;
    }
    if (k.r > fullGear) k.r = fullGear;
    else if (k.r < cutoffTarget_) k.r += 2;
    if (k.r > cutoffTarget_) return;

    // The lever, once the reverser is where it should be.
    const bool tooMuch = notFalling && k.s > 1.0303 * W;
    const bool tooLittle = notRising && k.s < 0.9696 * W && settings.targetPower > 0.0 && W > 0.001 &&
                           k.lever <= leverFullyOpen - 1;
    if (!startPhaseDone_) {
        if (k.P > 400000.0) {
            // Steam enough to hold the train: release, and let the brake
            // step off even when the handle already stands at release.
            effects.startBrakeStepping = true;
            s.brakeCommand = brakeRelease;
        }
        if (W == 0.0 || settings.targetPower == 0.0) k.lever -= 3;
        else if (tooLittle && k.P < k.aim - 10000.0) ++k.lever;
        else if (tooMuch || k.P > k.aim + 10000.0 || B > 0.0 || W < 0.001) k.lever = std::max(k.lever - 1, 0);
    } else {
        if (W == 0.0 || settings.targetPower == 0.0) k.lever -= 5;
        else if (k.lever >= 1 && ((notFalling && k.s > 1.0606 * W) || B > 0.0 || W < 0.001)) k.lever -= 2;
        else if (tooLittle) ++k.lever;
        else if (tooMuch || B > 0.0 || W < 0.001) k.lever = std::max(k.lever - 1, 0);
    }
    k.lever = std::max(k.lever, 0);
}

// One step of the throttle holding the chest pressure at B, kept within
// `lowest` to fully open. Over the driver's limit it opens briskly: the
// chest lags behind the throttle, and a limit is no band to wander through.
int AutoControl::holdChestByThrottle(const Step& k, bool overLimit, int throttle, int lowest) const {
    const double B = workingBackPressure_;
    const double band = k.P > 500000.0 ? 100000.0 : 50000.0;  // Pa
    if (overLimit && throttle < throttleFullyOpen) throttle += 4;
    else if (k.P > B + band + 100000.0 && throttle < throttleFullyOpen) throttle += 2;
    else if (k.P < B - band - 100000.0 && throttle >= lowest + 1) throttle -= 2;
    else if (k.P > B + band && throttle < throttleFullyOpen) throttle += 1;
    else if (k.P < B - band && throttle > lowest) throttle -= 1;
    return std::clamp(throttle, lowest, throttleFullyOpen);
}

void AutoControl::counterPressureBraking(Step& k, LocomotiveState& s, const AutoControlSettings& settings) {
    const double W = workingPower_, B = workingBackPressure_;
    int throttle = s.counterPressureThrottle;

    // Release: throttle wide open, then the gear back towards mid.
    if ((!settings.speedMode && settings.targetPower > 0.0) || W > 0.0 || B == 0.0 || k.v <= brakingSpeed) {
        throttle = std::min(throttle + 4, throttleFullyOpen);
        if (throttle >= throttleFullyOpen && k.r < -1) k.r = std::min(k.r + 2, -1);
        s.counterPressureThrottle = within(cab::throttleValve, throttle);
        return;
    }

    // Water injection cools a chest heated by compression.
    const double T = s.steamChest.temperature;  // K
    int wanted = 0;
    if (T > 473.0 && k.P > 150000.0 && k.L0 == 0 && k.r <= -42) {
        wanted = T > 673.0 ? cab::waterInjection.high : T <= 623.0 ? 10 : truncateTo<int>(1.8 * T - 1111.4);
    }
    s.cylinderWaterInjection = within(cab::waterInjection, towards(s.cylinderWaterInjection, wanted));

    const double band = k.P > 500000.0 ? 100000.0 : 50000.0;  // Pa
    // In speed mode the back-pressure is the driver's "Maximaler Gegendruck":
    // above it the chest is let down at once (in power mode it is a target).
    const bool overLimit = settings.speedMode && k.P > settings.backPressure;
    const bool secondStage = brakingHold_;
    const bool gearHolds = secondStage && throttle >= throttleFullyOpen;
    if (!secondStage) {
        // First stage: lever shut, gear laid out backwards to full.
        if (k.L0 >= 1) {
            k.lever = std::max(k.lever - 4, 0);
        } else if (k.r > -fullGear) {
            if (k.P < B || k.r > -settings.minCutoff) k.r = std::max(k.r - 4, -fullGear);
        } else {
            brakingHold_ = true;
        }
        throttle = holdChestByThrottle(k, overLimit, throttle, throttleBrakingBase);
    } else if (!gearHolds) {
        // Second stage: the throttle holds the chest while it can ...
        throttle = holdChestByThrottle(k, overLimit, throttle, 1);
    } else {
        // ... and the gear once the throttle is fully open.
        if ((overLimit || k.P > B + band + 100000.0) && k.r < -settings.minCutoff) k.r += 2;
        else if (k.P < B - band - 100000.0 && k.r > -fullGear) k.r -= 2;
        else if (k.P > B + band && k.r < -settings.minCutoff) k.r += 1;
        else if (k.P < B - band && k.r > -fullGear) k.r -= 1;
    }
    if (secondStage) {
        k.r = std::clamp(k.r, -fullGear, 0);
        if (k.r > -settings.minCutoff) --k.r;
        // The gear held the chest and is out to full: the throttle takes the
        // holding back. Once it holds it is not closed further, or it would
        // push the chest over its band and the driver's limit.
        if (k.r == -fullGear && gearHolds) --throttle;
    }
    s.counterPressureThrottle = within(cab::throttleValve, throttle);
}

}  // namespace zt40
