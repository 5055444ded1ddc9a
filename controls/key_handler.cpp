#include "key_handler.h"

#include <algorithm>
#include <cmath>

#include "pointer_targets.h"
#include "sim_speed.h"
#include "virtual_keys.h"

namespace zt40 {

namespace {

bool standing(const LocomotiveState& s) { return std::fabs(s.trainSpeed) < 0.0001; }

template <class T>
T stepped(T value, int step, int low, int high) {
    return static_cast<T>(std::clamp(static_cast<int>(value) + step, low, high));
}

// The brake handle one notch towards full, or towards release.
std::int8_t brakeNotchUp(std::int8_t command) { return command < 5 ? 9 : command < 15 ? 19 : 29; }
std::int8_t brakeNotchDown(std::int8_t command) { return command >= 25 ? 19 : command >= 15 ? 9 : 0; }

// P and O: a push of the whole train by hand, for trying things out.
void push(LocomotiveState& s, double change) {
    if (s.trainSpeed == 0.0) s.simHold = true;
    s.trainSpeed += change;
    if (std::fabs(s.trainSpeed) < 0.1) s.trainSpeed = 0.0;
}

}  // namespace

void toggleSound(LocomotiveState& s, SoundOutput& sound) { switchSound(s, sound); }

void toggleAutoFiring(LocomotiveState& s) {
    // Hand firing carries on where the automatic left the fire.
    s.autoFiring = !s.autoFiring;
    s.fireSetpoint = s.autoFiring ? 0 : s.fireRate;
}

void displayCycle(LocomotiveState& s) {
    s.textHidden = !s.textHidden;
    if (!s.textHidden) s.indicatorShown = !s.indicatorShown;
}

void KeyHandler::handle(KeyMessage message, int virtualKey, LocomotiveState& s, bool& commandChanged,
                        bool coarseSteps, SoundOutput& sound) {
    if (message == KeyMessage::keyUp || message == KeyMessage::sysKeyUp) {
        s.inputHeld = false;
        keyLatch_ = false;
        return;
    }
    s.inputHeld = true;
    if (message == KeyMessage::sysKeyDown) {
        // Alt and everything pressed with it: only Alt itself does something.
        if (!keyLatch_ && virtualKey == vk::menu) displayCycle(s);
        keyLatch_ = true;
        return;
    }
    if (!handleSwitch(virtualKey, s, commandChanged, sound)) handleStep(virtualKey, s, coarseSteps ? 3 : 1);
}

bool KeyHandler::handleSwitch(int key, LocomotiveState& s, bool& commandChanged, SoundOutput& sound) {
    switch (key) {
        case vk::left: stepReverser(s, +1); return true;
        case vk::right: stepReverser(s, -1); return true;
        case vk::up: stepGradient(s, +1); return true;
        case vk::down: stepGradient(s, -1); return true;
        case vk::multiply: stepSpeed(s, +1, commandChanged, sound); return true;
        case vk::divide: stepSpeed(s, -1, commandChanged, sound); return true;
        case vk::menu: case vk::add: case vk::subtract: case vk::enter: case vk::space: case vk::tab: case vk::backspace:
        case 'A': case 'G': case 'B': case 'T': case 'U': case 'S': case 'R': case 'I': case 'L': break;
        default: return false;
    }
    // Latched keys: once per press.
    if (keyLatch_) return true;
    keyLatch_ = true;
    switch (key) {
        case vk::menu:
            displayCycle(s);
            if (s.pilotValve > 0) s.pilotValve = stepped(s.pilotValve, 1, 0, 127);
            break;
        case vk::add: s.brakeCommand = brakeNotchUp(s.brakeCommand); break;
        case vk::subtract: s.brakeCommand = brakeNotchDown(s.brakeCommand); break;
        case vk::enter: s.drainCocksOpen = !s.drainCocksOpen; break;
        case vk::space: s.sandingOn = !s.sandingOn; break;
        case vk::tab:
            if (s.cylinderWallTemp < 773.0) {
                s.cylinderWallTemp = std::min(s.cylinderWallTemp + 50.0, 773.0);
                s.resetSpaces = true;
            }
            break;
        case vk::backspace:
            if (s.cylinderWallTemp > s.ambientTemp) {
                s.cylinderWallTemp = std::max(s.cylinderWallTemp - 50.0, static_cast<double>(s.ambientTemp));
                s.resetSpaces = true;
            }
            break;
        case 'A': s.injectorAutomatic = !s.injectorAutomatic; break;
        case 'G': toggleAutoFiring(s); break;
        case 'B': s.blastPipeClosed = !s.blastPipeClosed; break;
        case 'T':
            if (!s.trackListFailed) s.trackAutomatic = !s.trackAutomatic;
            break;
        case 'U':
            s.autoSanding = !s.autoSanding;
            if (!s.autoSanding) s.sandingOn = false;
            break;
        case 'S': toggleSound(s, sound); break;
        case 'R':
            // Off, light, heavy, very heavy, and round again.
            s.regulatorLighter = !s.regulatorLighter;
            if (!s.regulatorLighter) s.regulatorHeavier = !s.regulatorHeavier;
            s.hoverTarget = hover::regulatorMode;
            break;
        case 'I':
            if (s.indicatorShown && !s.trackTableShown) s.indicatorSide = !s.indicatorSide;
            s.indicatorCount = 0;
            break;
        case 'L': s.dataDialogRequest = true; break;
        default: break;
    }
    return true;
}

void KeyHandler::handleStep(int key, LocomotiveState& s, int step) {
    switch (key) {
        case vk::shift: s.pilotValve = stepped(s.pilotValve, step, 0, 115); break;
        case vk::control:
            if (!keyLatch_ && s.pilotValve > 0) s.pilotValve = stepped(s.pilotValve, -step, 0, 115);
            break;
        case vk::pageUp:
            if (standing(s) && s.trainWeight < 3000) s.trainWeight = std::min(s.trainWeight + 10 * step, 3000);
            break;
        case vk::pageDown:
            if (standing(s) && s.trainWeight > 0) s.trainWeight = std::max(s.trainWeight - 10 * step, 0);
            break;
        case vk::insert:
            if (s.tankWater < 12000.0 && standing(s)) s.tankWater = std::min(s.tankWater + 10.0, 12000.0);
            break;
        case 'X':
            if (s.injectorRate < 250 && !s.injectorAutomatic) s.injectorRate = stepped(s.injectorRate, step, 0, 250);
            break;
        case 'Y':
            if (s.injectorRate > 0 && !s.injectorAutomatic) s.injectorRate = stepped(s.injectorRate, -step, 0, 250);
            break;
        case 'F': s.fireSetpoint = stepped(s.fireSetpoint, 1, 0, 100); break;
        case 'D': s.fireSetpoint = stepped(s.fireSetpoint, -1, 0, 100); break;
        case 'V':
            s.blowerSetting = stepped(s.blowerSetting, 1, 0, 100);
            keyLatch_ = true;
            break;
        case 'C':
            s.blowerSetting = stepped(s.blowerSetting, -1, 0, 100);
            keyLatch_ = true;
            break;
        case 'K': s.counterPressureThrottle = stepped(s.counterPressureThrottle, 1, 0, 100); break;
        case 'J': s.counterPressureThrottle = stepped(s.counterPressureThrottle, -1, 0, 100); break;
        case 'M': s.cylinderWaterInjection = stepped(s.cylinderWaterInjection, 1, 0, 100); break;
        case 'N': s.cylinderWaterInjection = stepped(s.cylinderWaterInjection, -1, 0, 100); break;
        case 'W':
            s.trackAutomatic = false;
            s.distance = 0.0;
            break;
        case 'Z': s.simTime = 0.0; break;
        case 'Q': s.trackTableShown = !s.trackTableShown; break;
        case 'E': s.autoControlDialogRequest = !s.autoControlDialogRequest; break;
        case 'P':
            if (s.trainSpeed < 31.0) push(s, 0.2);
            break;
        case 'O':
            if (s.trainSpeed > -31.0) push(s, -0.2);
            break;
        default: break;
    }
}

void KeyHandler::stepReverser(LocomotiveState& s, int direction) {
    if (keyLatch_) return;
    if (direction > 0 ? s.reverser >= 160 : s.reverser <= -160) return;
    // One notch of two half-percent steps; odd values never survive.
    s.reverser = 2 * (s.reverser / 2 + direction);
    if (s.valvesEngaged) s.reverserMoved = true;
    if (s.reverser == 0) keyLatch_ = true;  // a detent at mid gear
}

void KeyHandler::stepGradient(LocomotiveState& s, int direction) {
    if (keyLatch_ || s.trackAutomatic) return;
    if (direction > 0 ? s.gradient >= 100 : s.gradient <= -100) return;
    s.gradient = static_cast<std::int8_t>(s.gradient + direction);
    if (s.gradient == 0) keyLatch_ = true;  // a detent on the level
}

void KeyHandler::stepSpeed(LocomotiveState& s, int direction, bool& commandChanged, SoundOutput& sound) {
    if (keyLatch_) return;
    keyLatch_ = true;
    changeSimSpeed(s, direction, commandChanged, sound);
}

void changeSimSpeed(LocomotiveState& s, int direction, bool& commandChanged, SoundOutput& sound) {
    const SimSpeed from(s.simSpeedCode);
    const SimSpeed to = direction > 0 ? from.faster() : from.slower();
    if (to.code() == from.code()) return;
    s.simSpeedCode = to.code();
    commandChanged = true;
    // The engine is heard only between 1:10 and real time; leaving STOP the
    // model holds for a frame.
    if (direction > 0 && from.engineHeard() && !to.engineHeard()) sound.stopAll(false);
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
    if (direction < 0 && to.stopped()) sound.stopAll(false);
}

}  // namespace zt40
