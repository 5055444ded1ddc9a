#include "frame_rules.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "cab_knobs.h"
#include "numeric.h"
#include "pointer_targets.h"
#include "sim_speed.h"
#include "window_layout.h"

namespace zt40 {

namespace {

// Simulated seconds one frame stands for; infinite at STOP.
double frameTime(const LocomotiveState& copy) {
    const SimSpeed speed(copy.simSpeedCode);
    if (speed.stopped()) return std::numeric_limits<double>::infinity();
    return (copy.fineTimer ? copy.stepInterval : 1.0) * speed.factor();
}

// The valves are caught on their rod at a speed they cannot stand.
bool caughtAtSpeed(const LocomotiveState& copy) {
    const double speed = std::fabs(copy.wheelSpeed);  // m/s
    const int cutOff = std::abs(copy.reverser);      // half-percent steps
    return copy.pilotValve > 0 &&
           ((speed > 11.8 && cutOff > 24) || (speed > 4.0 && speed <= 11.8 && 228.0 - 17.0 * speed < cutOff));
}

}  // namespace

Damage FrameRules::run(LocomotiveState& copy) {
    prepare(copy);
    if (copy.displayScale > 0.0) reportKnob(copy);
    reliefValves(copy);
    damageChecks(copy);
    state_.shownWarning = state_.warningState;
    state_.shownWarningFrames = state_.warningFrames;
    countDownWarning();
    return state_.damageThisFrame;
}

void FrameRules::prepare(LocomotiveState& copy) {
    FramePreparation& frame = preparation_;
    frame = FramePreparation{};
    state_.damageThisFrame = Damage::none;
    state_.timeFactor = frameTime(copy);
    copy.valveKnock = false;
    if (!(copy.displayScale > 0.0)) return;

    // The side view's anchor, shaken; then the gear's joints and the valve heads.
    shake(copy, frame.anchorX, frame.anchorY);
    frame.joints = computeJoints(copy.displayScale, frame.anchorX, frame.anchorY, copy.wheelAngle, copy.reverser);
    copy.pistonX = frame.joints.pistonX;
    valveHeads(copy, frame.anchorX, frame.joints.rodX);

    account(copy);
    state_.previousDistance = copy.distance;
    warningTriggers(copy);
}

void FrameRules::shake(LocomotiveState& copy, double& x0, double& y0) {
    const double s = copy.displayScale;
    state_.counterPressureMode = false;
    x0 = std::trunc(800.0 / s);
    y0 = std::trunc(4800.0 / s);
    if (!SimSpeed(copy.simSpeedCode).slowMotion()) {
        // Braking by compression, or the engine equalising: it shakes.
        bool shaking = state_.equalizeFlag;
        if (copy.valvesEngaged && ((copy.wheelSpeed > 5.0 && copy.reverser > 36) ||
                                   (copy.wheelSpeed < -5.0 && copy.reverser < -36))) {
            copy.peakCylinderPressure = 3;
            state_.counterPressureMode = true;
            shaking = true;
        }
        if (shaking) {
            const int amplitude = std::min(truncateTo<int>(copy.peakCylinderPressure / 2.5), 3);  // px
            copy.peakCylinderPressure = static_cast<std::int8_t>(amplitude);
            ++state_.shakeCounter;
            const int period = truncateTo<int>(9.474 - 0.368 * std::fabs(copy.wheelSpeed));  // frames
            const int n = state_.shakeCounter;
            if (n <= period) x0 += amplitude;
            else if (n <= 2 * period) x0 -= amplitude;
            else if (n <= 3 * period) y0 += amplitude;
            else if (n <= 4 * period) y0 -= amplitude;
            if (n >= 4 * period) state_.shakeCounter = 0;
        }
    }
    state_.equalizeFlag = false;
}

void FrameRules::valveHeads(LocomotiveState& copy, double anchorX, double rodX) {
    const double s = copy.displayScale;
    const double rodMm = rodX * s;  // mm from the window edge

    // Steam takes the heads up onto the rod; where they float apart they knock.
    if (copy.steamChest.pressure > 50000.0 && !copy.valvesEngaged) {
        const double position = (rodX - anchorX) * s;  // mm from the axle
        if (position + 675.0 < state_.rearHeadLimit - 10.0 || position + 1319.0 > state_.frontHeadLimit + 10.0) {
            copy.valveKnock = true;
        }
        if (caughtAtSpeed(copy)) {
            if (state_.floatFrames >= 100) {
                ++state_.valveBreakCount;
                warn(Warning::valveMayBreak, 300);
                if (state_.valveBreakCount > 5) damage(Damage::pistonValveBroken);
            } else if (state_.warningState != Warning::valveMayBreak) {
                warn(Warning::valveFlutter, 300);
            }
        }
        state_.floatFrames = 0;
        copy.valvesEngaged = true;
    }
    // Without steam they fall free once the wheels turn or the gear moves.
    if (copy.steamChest.pressure < 1000.0 && copy.valvesEngaged &&
        (std::fabs(copy.wheelSpeed) > 0.0001 || copy.reverserMoved)) {
        state_.rearHeadLimit = 0.0;
        state_.frontHeadLimit = 10000.0;
        copy.valvesEngaged = false;
        copy.reverserMoved = false;
    }

    if (copy.valvesEngaged) {
        copy.valveHeadRearX = truncateTo<std::int32_t>(675.0 / s + rodX);
        copy.valveHeadFrontX = truncateTo<std::int32_t>(1319.0 / s + rodX);
        if (!SimSpeed(copy.simSpeedCode).slowMotion()) {
            const int r = copy.reverser;
            const bool equalising = copy.blastPipeClosed
                                        ? std::abs(r) < 37
                                        : (r < 37 && copy.wheelSpeed < -5.0) || (r > -37 && copy.wheelSpeed > 5.0);
            if (equalising) state_.equalizeFlag = true;
        }
        return;
    }
    // Floating: the rod only pushes the heads outward.
    state_.floatFrames = std::min(state_.floatFrames + 1, 200);
    state_.rearHeadLimit = std::max(state_.rearHeadLimit, rodMm + 675.0);
    state_.frontHeadLimit = std::max(state_.frontHeadLimit, state_.rearHeadLimit + 468.0);
    state_.frontHeadLimit = std::min(state_.frontHeadLimit, rodMm + 1319.0);
    state_.rearHeadLimit = std::min(state_.rearHeadLimit, state_.frontHeadLimit - 468.0);
    copy.valveHeadRearX = truncateTo<std::int32_t>(state_.rearHeadLimit / s);
    copy.valveHeadFrontX = truncateTo<std::int32_t>(state_.frontHeadLimit / s);
}

void FrameRules::account(LocomotiveState& copy) {
    FramePreparation& frame = preparation_;
    if (SimSpeed(copy.simSpeedCode).stopped() || copy.simHold) {
        copy.simHold = false;
        return;
    }
    frame.accounted = true;
    const double s = copy.displayScale;
    const double tf = state_.timeFactor;  // s

    // Sleepers scroll with the distance, by whole pitches of 850 mm.
    if (copy.clientWidth < 1) {
        state_.sleeperPhase = 0.0;
    } else {
        state_.sleeperPhase += (state_.previousDistance - copy.distance) * 1000.0 / s;
        const double wrap = std::ceil(copy.clientWidth * s / 850.0) * 850.0 / s;  // px
        if (state_.sleeperPhase < 0.0) state_.sleeperPhase += wrap;
        if (state_.sleeperPhase > copy.clientWidth) state_.sleeperPhase -= wrap;
    }

    // The fire-hole door glows with the exhaust's draught.
    if (state_.exhaustGlow > copy.blastPipeFlow && tf < 1.0) state_.exhaustGlow = std::max(state_.exhaustGlow - 6.0 * tf, 0.0);
    if (state_.exhaustGlow < copy.blastPipeFlow && tf < 1.0) state_.exhaustGlow = std::min(state_.exhaustGlow + 10.0 * tf, 5.0);

    frame.samples = {static_cast<float>(copy.boilerSteamDraw * 18.0), static_cast<float>(copy.acceleration),
                     static_cast<float>(copy.wheelPower), static_cast<float>(copy.waterPerKm)};

    // Coal burnt.
    state_.coalRate = copy.fireRate * copy.boilerPower * 5.61167e-9;  // kg/s
    state_.coalTotal += tf * state_.coalRate;
}

void FrameRules::warn(Warning warning, int frames) {
    state_.warningState = warning;
    state_.warningFrames = frames;
}

void FrameRules::warningTriggers(const LocomotiveState& copy) {
    const auto sandWarning = [this] {
        return state_.warningState == Warning::sandIntoSlip || state_.warningState == Warning::sandTooShort;
    };
    if (!sandWarning() && copy.blastPipeFlow < -0.3 && copy.valvesEngaged && !copy.blastPipeClosed &&
        state_.counterPressureMode) {
        warn(Warning::blastPipeSuction, 100);
    }
    if (!sandWarning() && copy.blastPipeAuxFlow > 0.5 && state_.warningState == Warning::none) {
        warn(Warning::spittingWater, 100);
    }
    if (!sandWarning() && copy.primingRate > 0.0) warn(Warning::priming, 100);
    if (copy.sandTooShort) warn(Warning::sandTooShort, 300);
    if (copy.sandIntoSlip) {
        warn(Warning::sandIntoSlip, 300);
        ++state_.sandSlipCount;
        if (state_.sandSlipCount > 5) damage(Damage::runningGearBySanding);
    }
}

void FrameRules::reportKnob(LocomotiveState& copy) {
    // The knob of the control being dragged, for the mouse to measure from.
    const double s = cabScale(copy);
    KnobPosition at{};
    switch (copy.dragTarget) {
        case drag::regulatorLever: at = regulatorKnob(s, copy.pilotValve); break;
        case drag::brakeHandle: at = brakeKnob(s, copy.brakeCommand); break;
        case drag::reverserWheel: at = reverserKnob(s, copy.reverser); break;
        default: copy.handleOf = drag::none; return;
    }
    copy.handleX = at.x;
    copy.handleY = at.y;
    copy.handleOf = copy.dragTarget;
}

void FrameRules::reliefValves(const LocomotiveState& copy) {
    if (copy.reliefA1 || copy.reliefB1 || copy.reliefSide2) warn(Warning::cylinderRelief, 300);
}

void FrameRules::damageChecks(const LocomotiveState& copy) {
    // Only while the texts are shown: overspeed, the cylinder cover, then
    // the boiler run dry, the last one winning.
    if (copy.textHidden || !(copy.displayScale > 0.0)) return;
    if (std::fabs(copy.wheelSpeed) > 32.0) damage(Damage::overspeed);
    if (copy.cylinderCoverBurst) damage(Damage::cylinderCoverBurst);
    if (copy.trueWaterDepth > 570.0) damage(Damage::boilerExplosion);
}

void FrameRules::countDownWarning() {
    if (state_.warningFrames < 1) {
        state_.warningState = Warning::none;
    } else if (--state_.warningFrames == 0) {
        state_.warningState = Warning::none;
    }
}

}  // namespace zt40
