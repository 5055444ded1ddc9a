#include "key_handler.h"

#include <cmath>

#include "cab_controls.h"
#include "pointer_targets.h"
#include "virtual_keys.h"

namespace zt40 {

namespace {

// P and O: a push of the whole train by hand, for trying things out.
void push(LocomotiveState& s, double change) {
    if (s.trainSpeed == 0.0) s.simHold = true;
    s.trainSpeed += change;
    if (std::fabs(s.trainSpeed) < 0.1) s.trainSpeed = 0.0;
}

}  // namespace

void KeyHandler::handle(KeyMessage message, int virtualKey, LocomotiveState& s, bool& commandChanged,
                        bool coarseSteps, SoundOutput& sound) {
    if (message == KeyMessage::keyUp || message == KeyMessage::sysKeyUp) {
        s.inputHeld = false;
        keyLatch_ = false;
        if (virtualKey == whistleKey) s.whistleBlowing = false;
        return;
    }
    s.inputHeld = true;
    if (message == KeyMessage::sysKeyDown) {
        // Alt and everything pressed with it: only Alt itself does something.
        if (!keyLatch_ && virtualKey == vk::menu) cab::cycleDisplay(s);
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
        case whistleKey: s.whistleBlowing = true; return true;  // blows while the key is held
        case vk::menu: case vk::add: case vk::subtract: case vk::enter: case vk::space: case vk::tab: case vk::backspace:
        case 'A': case 'G': case 'B': case 'T': case 'U': case 'S': case 'R': case 'I': case 'L': break;
        default: return false;
    }
    // Latched keys: once per press.
    if (keyLatch_) return true;
    keyLatch_ = true;
    switch (key) {
        case vk::menu:
            cab::cycleDisplay(s);
            if (s.pilotValve > 0) cab::moveRegulator(s, 1);
            break;
        case vk::add: cab::notchBrake(s, +1); break;
        case vk::subtract: cab::notchBrake(s, -1); break;
        case vk::enter: cab::flip(s, cab::Switch::drainCocks); break;
        case vk::space: cab::flip(s, cab::Switch::sanding); break;
        case vk::tab: cab::warmCylinders(s); break;
        case vk::backspace: cab::coolCylinders(s); break;
        case 'A': cab::flip(s, cab::Switch::injectorAutomatic); break;
        case 'G': cab::flip(s, cab::Switch::autoFiring); break;
        case 'B': cab::flip(s, cab::Switch::blastPipe); break;
        case 'T': cab::flip(s, cab::Switch::trackFunction); break;
        case 'U': cab::flip(s, cab::Switch::autoSanding); break;
        case 'S': cab::switchSoundOnOff(s, sound); break;
        case 'R':
            // Off, light, heavy, very heavy, and round again.
            s.regulatorLighter = !s.regulatorLighter;
            if (!s.regulatorLighter) s.regulatorHeavier = !s.regulatorHeavier;
            s.hoverTarget = hover::regulatorMode;
            break;
        case 'I': cab::switchIndicatorSide(s); break;
        case 'L': s.dataDialogRequest = true; break;
        default: break;
    }
    return true;
}

void KeyHandler::handleStep(int key, LocomotiveState& s, int step) {
    switch (key) {
        case vk::shift: cab::moveRegulator(s, step); break;
        case vk::control:
            if (!keyLatch_) cab::moveRegulator(s, -step);
            break;
        case vk::pageUp:
            if (cab::trainStands(s)) cab::changeTrainWeight(s, step);
            break;
        case vk::pageDown:
            if (cab::trainStands(s)) cab::changeTrainWeight(s, -step);
            break;
        case vk::insert:
            if (cab::trainStands(s)) cab::fillTank(s);
            break;
        case 'X': cab::changeInjector(s, step); break;
        case 'Y': cab::changeInjector(s, -step); break;
        case 'F': cab::changeFiring(s, 1); break;
        case 'D': cab::changeFiring(s, -1); break;
        case 'V':
            cab::turnBlower(s, 1);
            keyLatch_ = true;
            break;
        case 'C':
            cab::turnBlower(s, -1);
            keyLatch_ = true;
            break;
        case 'K': cab::turnThrottle(s, 1); break;
        case 'J': cab::turnThrottle(s, -1); break;
        case 'M': cab::turnWaterInjection(s, 1); break;
        case 'N': cab::turnWaterInjection(s, -1); break;
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

// Reverser and gradient: a step into the detent holds until the key is let go.
void KeyHandler::stepReverser(LocomotiveState& s, int direction) {
    if (keyLatch_) return;
    if (cab::notchReverser(s, direction) == cab::Step::detent) keyLatch_ = true;
}

void KeyHandler::stepGradient(LocomotiveState& s, int direction) {
    if (keyLatch_ || !cab::gradientByHand(s)) return;
    if (cab::stepGradient(s, direction) == cab::Step::detent) keyLatch_ = true;
}

void KeyHandler::stepSpeed(LocomotiveState& s, int direction, bool& commandChanged, SoundOutput& sound) {
    if (keyLatch_) return;
    keyLatch_ = true;
    cab::changeSimSpeed(s, direction, commandChanged, sound);
}

}  // namespace zt40
