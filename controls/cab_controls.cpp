#include "cab_controls.h"

#include <cmath>

#include "sim_speed.h"

namespace zt40::cab {

bool trainStands(const LocomotiveState& s) { return std::fabs(s.trainSpeed) < 0.0001; }
bool wheelsStand(const LocomotiveState& s) { return std::fabs(s.wheelSpeed) < 0.001; }
bool gradientByHand(const LocomotiveState& s) { return !s.trackAutomatic; }

bool moveRegulator(LocomotiveState& s, int by) { return regulatorLever.move(s.pilotValve, by); }

void shutRegulator(LocomotiveState& s) { s.pilotValve = 0; }

Step notchReverser(LocomotiveState& s, int direction) {
    if (direction > 0 ? s.reverser >= reverser.high : s.reverser <= reverser.low) return Step::none;
    // A whole notch from an odd step between notches: odd values never survive.
    s.reverser = reverserNotch * (s.reverser / reverserNotch + direction);
    if (s.valvesEngaged) s.reverserMoved = true;
    return s.reverser == 0 ? Step::detent : Step::moved;
}

bool turnReverser(LocomotiveState& s, int by) {
    if (by == 0) return false;
    // Any turn of the wheel counts once the valves are caught on their rods.
    if (s.valvesEngaged) s.reverserMoved = true;
    return reverser.move(s.reverser, by);
}

Step stepGradient(LocomotiveState& s, int by) {
    if (!gradient.move(s.gradient, by)) return Step::none;
    return s.gradient == 0 ? Step::detent : Step::moved;
}

bool moveBrakeHandle(LocomotiveState& s, int by) { return brakeValve::handle.move(s.brakeCommand, by); }

void notchBrake(LocomotiveState& s, int direction) {
    s.brakeCommand = direction > 0 ? brakeValve::notchOn(s.brakeCommand) : brakeValve::notchOff(s.brakeCommand);
}

void settleBrakeHandle(LocomotiveState& s) { s.brakeCommand = brakeValve::settled(s.brakeCommand); }

bool turnBlower(LocomotiveState& s, int by) { return blowerValve.move(s.blowerSetting, by); }
bool turnThrottle(LocomotiveState& s, int by) { return throttleValve.move(s.counterPressureThrottle, by); }
bool turnWaterInjection(LocomotiveState& s, int by) { return waterInjection.move(s.cylinderWaterInjection, by); }
bool changeFiring(LocomotiveState& s, int by) { return firing.move(s.fireSetpoint, by); }

bool changeInjector(LocomotiveState& s, int by) { return !s.injectorAutomatic && injector.move(s.injectorRate, by); }

bool changeTrainWeight(LocomotiveState& s, int by) { return trainWeight.move(s.trainWeight, by * trainWeightStep); }

bool fillTank(LocomotiveState& s) { return Travel<double>{0.0, tankCapacity}.move(s.tankWater, waterFillStep); }

void restartWorkingSpaces(LocomotiveState& s) { s.resetSpaces = true; }

namespace {

// From the air's temperature up to the hottest the walls are set to.
Travel<double> cylinderWall(const LocomotiveState& s) { return {static_cast<double>(s.ambientTemp), hottestCylinderWall}; }

bool setCylinderWall(LocomotiveState& s, double by) {
    if (!cylinderWall(s).move(s.cylinderWallTemp, by)) return false;
    restartWorkingSpaces(s);
    return true;
}

}  // namespace

bool warmCylinders(LocomotiveState& s) { return setCylinderWall(s, cylinderWallStep); }
bool coolCylinders(LocomotiveState& s) { return setCylinderWall(s, -cylinderWallStep); }

bool flip(LocomotiveState& s, Switch which) {
    switch (which) {
        case Switch::drainCocks: s.drainCocksOpen = !s.drainCocksOpen; break;
        case Switch::sanding: s.sandingOn = !s.sandingOn; break;
        case Switch::autoSanding:
            s.autoSanding = !s.autoSanding;
            if (!s.autoSanding) s.sandingOn = false;
            break;
        case Switch::blastPipe: s.blastPipeClosed = !s.blastPipeClosed; break;
        case Switch::injectorAutomatic: s.injectorAutomatic = !s.injectorAutomatic; break;
        case Switch::autoFiring:
            s.autoFiring = !s.autoFiring;
            s.fireSetpoint = s.autoFiring ? 0 : s.fireRate;
            break;
        case Switch::trackFunction:
            if (s.trackListFailed) return false;
            s.trackAutomatic = !s.trackAutomatic;
            break;
    }
    return true;
}

void switchSoundOnOff(LocomotiveState& s, SoundOutput& sound) { switchSound(s, sound); }

void cycleDisplay(LocomotiveState& s) {
    // With and without texts, the right-hand panel goes from the bar
    // columns to the indicator diagram, to the recorder's strip and back.
    s.textHidden = !s.textHidden;
    if (s.textHidden) return;
    if (s.indicatorShown) {
        s.indicatorShown = false;
        s.stripShown = true;
    } else if (s.stripShown) {
        s.stripShown = false;
    } else {
        s.indicatorShown = true;
    }
}

void switchIndicatorSide(LocomotiveState& s) {
    if (s.indicatorShown && !s.trackTableShown) s.indicatorSide = !s.indicatorSide;
    s.indicatorCount = 0;
}

bool changeSimSpeed(LocomotiveState& s, int direction, bool& commandChanged, SoundOutput& sound) {
    const SimSpeed from(s.simSpeedCode);
    const SimSpeed to = direction > 0 ? from.faster() : from.slower();
    if (to.code() == from.code()) return false;
    s.simSpeedCode = to.code();
    commandChanged = true;
    // The engine is heard only between 1:10 and real time; leaving STOP the
    // model holds for a frame.
    if (direction > 0 && from.engineHeard() && !to.engineHeard()) sound.stopAll();
    if (direction > 0 && from.stopped()) {
        s.simHold = true;
        if (s.soundOn) {
            sound.startEngineLoop();
            s.soundRestart = true;
        }
    }
    if (direction < 0 && !from.engineHeard() && to.engineHeard() && s.soundOn) {
        sound.startEngineLoop();
        s.soundRestart = true;
    }
    if (direction < 0 && to.stopped()) sound.stopAll();
    return true;
}

}  // namespace zt40::cab
