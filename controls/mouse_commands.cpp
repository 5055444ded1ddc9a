#include "mouse_commands.h"

#include <algorithm>
#include <cmath>

#include "cab_controls.h"
#include "numeric.h"
#include "pointer_targets.h"
#include "sim_speed.h"

namespace zt40 {

namespace {

constexpr double reverserStepAngle = 0.1374447;  // rad of wheel turn per half-percent step
constexpr double stiffPressure = 150000.0;       // Pa in the steam chest: above it the lever gives more easily
constexpr int maxLeverStep = 10;                 // steps of lever travel per move at most

// How hard the lever must be pulled past the pressure point for one step,
// by the two switches of the pressure-point simulation (at least one on);
// true when it gives.
bool pullOvercomesPoint(int pull, bool lighter, bool heavier, double chestPressure) {
    const bool lowPressure = chestPressure < stiffPressure;
    if (lighter && !heavier) return lowPressure ? pull > 1 : pull >= 1;  // "leichtgängig"
    if (!lighter) return lowPressure ? pull > 2 : pull > 1;              // "schwergängig"
    return lowPressure ? pull > 3 : pull > 2;                            // "superschwergängig"
}

}  // namespace

struct MouseCommands::Message {
    MouseMessage type;
    int wheelOrRepeat;
    int x, y;  // px

    bool is(MouseMessage t) const { return type == t; }
    bool leftDown() const { return type == MouseMessage::leftDown; }
    bool rightDown() const { return type == MouseMessage::rightDown; }
    bool doubleClick() const { return type == MouseMessage::leftDoubleClick; }
    bool wheel() const { return type == MouseMessage::wheel; }
    bool repeats(repeat::Message r) const { return type == MouseMessage::repeat && wheelOrRepeat == r; }
    bool in(const PixelArea& area) const { return area.contains(x, y); }
    // A wheel turn stands for the control's key, up or down; a zero turn for nothing.
    MouseOutcome wheelKey(int upKey, int downKey) const {
        return {MouseResult::none, wheelOrRepeat > 0 ? upKey : wheelOrRepeat < 0 ? downKey : 0};
    }
};

int draggedPilotValve(int old, int pull, int mainValve, double chestPressure, bool lighter, bool heavier) {
    int lever = old;
    if (pull < 0 && old > 0) {
        // Closing: a stiff lever resting on the open main valve gives one step at a time.
        lever = heavier && mainValve >= old ? old - 1 : old + pull;
    } else if (pull > 0 && old < cab::regulatorLever.high) {
        // Opening: free up to the pressure point, then one step for a pull
        // strong enough; without the simulation ("ausgeschaltet") free all the way.
        const bool pointSimulated = lighter || heavier;
        if (!pointSimulated || old < mainValve + cab::pilotValveSteps) lever = old + pull;
        else if (pullOvercomesPoint(pull, lighter, heavier, chestPressure)) lever = old + 1;
    }
    lever = cab::regulatorLever.clamp(lever);
    return std::clamp(lever, old - maxLeverStep, old + maxLeverStep);
}

int reverserTurn(double ax, double ay, double bx, double by) {
    const double lengths = std::hypot(ax, ay) * std::hypot(bx, by);  // px²
    if (!(lengths > 0.0)) return 0;  // on the centre there is no angle
    const double cosine = std::clamp((ax * bx + ay * by) / lengths, -1.0, 1.0);
    const int steps = truncateTo<int>(std::acos(cosine) / reverserStepAngle);
    const double cross = ay * bx - ax * by;  // px²
    if (cross < -1.0) return steps;
    if (cross > 1.0) return -steps;
    return 0;
}

MouseOutcome MouseCommands::command(MouseMessage message, int wheelOrRepeat, LocomotiveState& s,
                                    bool& commandChanged, SoundOutput& sound) {
    const Message m{message, wheelOrRepeat, s.mouseX, s.mouseY};
    const MouseLayout layout(s);

    // Buttons released.
    if (m.is(MouseMessage::leftUp) || m.is(MouseMessage::rightUp)) return released(m, s);

    // The gradient band, tested first: it takes held buttons even during a drag.
    if ((m.in(layout.gradientBand()) && !s.trackAutomatic) || m.repeats(repeat::gradient)) return gradientBand(m, s);

    // The three dragged controls.
    if (reverserDrag_ || m.in(layout.reverserWheel())) return reverserWheel(m, layout, s);
    if (regulatorDrag_ || m.in(layout.regulatorLever())) return regulatorLever(m, s);
    if (brakeDrag_ || m.in(layout.brakeHandle())) return brakeHandle(m, s);

    // Levers, buttons and hand wheels, then the last buttons.
    if (auto outcome = leversAndWeights(m, layout, s)) return *outcome;
    if (auto outcome = blowerAndBar(m, layout, s, commandChanged, sound)) return *outcome;
    if (auto outcome = handWheels(m, layout, s)) return *outcome;
    return lastClicks(m, layout, s);
}

MouseOutcome MouseCommands::released(const Message& m, LocomotiveState& s) {
    gradientDetent_ = false;
    s.inputHeld = false;
    if (m.is(MouseMessage::rightUp)) {
        rightHeld_ = false;
        return {MouseResult::released};
    }
    leftHeld_ = reverserDrag_ = regulatorDrag_ = false;
    if (brakeDrag_) {
        brakeDrag_ = false;
        cab::settleBrakeHandle(s);
    }
    return {MouseResult::released};
}

MouseOutcome MouseCommands::gradientBand(const Message& m, LocomotiveState& s) {
    if (m.wheel()) return m.wheelKey(vk::up, vk::down);
    cab::Step step = cab::Step::none;
    if (gradientDetent_) return {};
    if ((m.leftDown() || leftHeld_) && (step = cab::stepGradient(s, -1)) != cab::Step::none) {
        leftHeld_ = true;
    } else if ((m.rightDown() || rightHeld_) && (step = cab::stepGradient(s, +1)) != cab::Step::none) {
        rightHeld_ = true;
    } else {
        return {};
    }
    if (step == cab::Step::detent) gradientDetent_ = true;  // the level holds until the buttons are let go
    return {MouseResult::gradientHeld};
}

MouseOutcome MouseCommands::reverserWheel(const Message& m, const MouseLayout& layout, LocomotiveState& s) {
    if (m.wheel()) return m.wheelKey(vk::right, vk::left);
    if (m.rightDown() || m.doubleClick()) {
        cab::shutRegulator(s);
        return {MouseResult::changed};
    }
    if (m.leftDown()) {
        s.dragTarget = drag::reverserWheel;
        reverserDrag_ = leftHeld_ = true;
        return {MouseResult::reverserDrag};
    }
    if (!leftHeld_ || !m.is(MouseMessage::move)) return {MouseResult::reverserDrag};

    // The turn from the knob as the last frame drew it; before the frame
    // has drawn this wheel's knob there is nothing to measure from.
    s.dragTarget = drag::reverserWheel;
    if (s.handleOf != drag::reverserWheel) return {MouseResult::reverserDrag};
    const int cx = layout.reverserCentreX(), cy = layout.reverserCentreY();  // px
    cab::turnReverser(s, reverserTurn(s.mouseX - cx, s.mouseY - cy, s.handleX - cx, s.handleY - cy));
    return {MouseResult::reverserDrag};
}

MouseOutcome MouseCommands::regulatorLever(const Message& m, LocomotiveState& s) {
    if (m.wheel()) return m.wheelKey(vk::shift, vk::control);
    if (m.rightDown() || m.doubleClick()) {
        cab::shutRegulator(s);
        return {MouseResult::changed};
    }
    if (m.leftDown()) {
        leftHeld_ = regulatorDrag_ = true;
        s.dragTarget = drag::regulatorLever;
        s.inputHeld = true;
        measured(s);
        return {MouseResult::regulatorDrag};
    }
    // Only a move has a position to measure.
    if (!leftHeld_ || !m.is(MouseMessage::move)) return {MouseResult::regulatorDrag};

    // Pulling the pointer to the left opens the lever.
    const int pull = -moveX(s);  // px
    measured(s);
    s.dragTarget = drag::regulatorLever;
    s.pilotValve = static_cast<std::int8_t>(draggedPilotValve(s.pilotValve, pull, s.regulator, s.steamChest.pressure,
                                                              s.regulatorLighter, s.regulatorHeavier));
    return {MouseResult::regulatorDrag};
}

MouseOutcome MouseCommands::brakeHandle(const Message& m, LocomotiveState& s) {
    if (m.wheel()) {
        // Away from the driver releases.
        if (m.wheelOrRepeat == 0) return {};
        cab::moveBrakeHandle(s, m.wheelOrRepeat > 0 ? -1 : +1);
        return {MouseResult::brakeDrag};
    }
    if (m.leftDown()) {
        leftHeld_ = brakeDrag_ = true;
        s.dragTarget = drag::brakeHandle;
        measured(s);
        return {MouseResult::brakeDrag};
    }
    if (!leftHeld_ || !m.is(MouseMessage::move)) return {MouseResult::brakeDrag};

    // Pulling the handle down applies the brake, pushing it up releases it.
    const int down = moveY(s);  // px
    measured(s);
    s.dragTarget = drag::brakeHandle;
    if (down != 0) cab::moveBrakeHandle(s, down > 0 ? +1 : -1);
    s.inputHeld = true;
    return {MouseResult::brakeDrag};
}

std::optional<MouseOutcome> MouseCommands::handWheel(const Message& m, LocomotiveState& s, Turn turn, bool manual,
                                                     MouseResult held) {
    if (!manual) return std::nullopt;
    if ((m.leftDown() || leftHeld_) && turn(s, -1)) {
        leftHeld_ = true;
        return MouseOutcome{held};
    }
    if ((m.rightDown() || rightHeld_) && turn(s, +1)) {
        rightHeld_ = true;
        return MouseOutcome{held};
    }
    return std::nullopt;
}

std::optional<MouseOutcome> MouseCommands::leversAndWeights(const Message& m, const MouseLayout& layout,
                                                            LocomotiveState& s) {
    const bool click = m.leftDown();
    if (m.in(layout.sandingLever()) && click) {
        cab::flip(s, cab::Switch::sanding);
        return MouseOutcome{MouseResult::changed};
    }
    if (m.in(layout.drainCockLever()) && click) {
        cab::flip(s, cab::Switch::drainCocks);
        return MouseOutcome{MouseResult::changed};
    }
    if (m.in(layout.displayButton()) && click) {
        cab::cycleDisplay(s);
        return MouseOutcome{MouseResult::changed};
    }
    if (m.wheel() && (m.in(layout.weightMinus()) || m.in(layout.weightPlus()))) {
        return m.wheelKey(vk::pageUp, vk::pageDown);
    }

    // Train weight, only while the engine stands; the right button repeats.
    const bool standing = cab::wheelsStand(s);
    if (standing && ((m.in(layout.weightMinus()) && (click || m.rightDown())) || m.repeats(repeat::weightDown)) &&
        cab::changeTrainWeight(s, -1)) {
        return MouseOutcome{click ? MouseResult::changed : MouseResult::weightDownHeld};
    }
    if (standing && ((m.in(layout.weightPlus()) && (click || m.rightDown())) || m.repeats(repeat::weightUp)) &&
        cab::changeTrainWeight(s, +1)) {
        return MouseOutcome{click ? MouseResult::changed : MouseResult::weightUpHeld};
    }

    // Cylinder temperature, while standing: left cooler, right warmer.
    if (m.in(layout.temperatureButton()) && standing) {
        const bool moved = click ? cab::coolCylinders(s) : m.rightDown() && cab::warmCylinders(s);
        return MouseOutcome{moved ? MouseResult::changed : MouseResult::none};
    }
    return std::nullopt;
}

std::optional<MouseOutcome> MouseCommands::blowerAndBar(const Message& m, const MouseLayout& layout,
                                                        LocomotiveState& s, bool& commandChanged,
                                                        SoundOutput& sound) {
    if (m.in(layout.blowerWheel()) || m.repeats(repeat::blower)) {
        if (m.wheel()) return m.wheelKey('V', 'C');
        if (auto outcome = handWheel(m, s, cab::turnBlower, true, MouseResult::blowerHeld)) return outcome;
    }
    if (m.in(layout.speedButton())) {
        if (m.leftDown()) {
            cab::changeSimSpeed(s, -1, commandChanged, sound);
            return MouseOutcome{MouseResult::changed};
        }
        if (m.rightDown()) {
            cab::changeSimSpeed(s, +1, commandChanged, sound);
            // Out of the stop the model needs a tick to start again.
            return MouseOutcome{s.simSpeedCode == SimSpeed::slowestCode ? MouseResult::speedRaised : MouseResult::changed};
        }
        return MouseOutcome{};
    }
    // Filling the tanks while the button is held and the engine stands.
    if (cab::wheelsStand(s) && (m.in(layout.waterButton()) || m.repeats(repeat::waterFill))) {
        if ((m.leftDown() || leftHeld_) && cab::fillTank(s)) {
            leftHeld_ = true;
            return MouseOutcome{MouseResult::waterFillHeld};
        }
        return MouseOutcome{};
    }
    if (m.in(layout.soundButton()) && m.leftDown()) {
        cab::switchSoundOnOff(s, sound);
        return MouseOutcome{MouseResult::changed};
    }
    return std::nullopt;
}

std::optional<MouseOutcome> MouseCommands::handWheels(const Message& m, const MouseLayout& layout,
                                                      LocomotiveState& s) {
    if (m.in(layout.injector()) || m.repeats(repeat::injector)) {
        if (m.wheel()) return s.injectorAutomatic ? MouseOutcome{} : m.wheelKey('X', 'Y');
        if (m.doubleClick()) {
            cab::flip(s, cab::Switch::injectorAutomatic);
            return MouseOutcome{MouseResult::changed};
        }
        if (auto o = handWheel(m, s, cab::changeInjector, !s.injectorAutomatic, MouseResult::injectorHeld)) return o;
    }
    if (m.in(layout.firing()) || m.repeats(repeat::firing)) {
        if (m.wheel()) return s.autoFiring ? MouseOutcome{} : m.wheelKey('F', 'D');
        if (m.doubleClick()) {
            cab::flip(s, cab::Switch::autoFiring);
            return MouseOutcome{MouseResult::changed};
        }
        if (auto o = handWheel(m, s, cab::changeFiring, !s.autoFiring, MouseResult::firingHeld)) return o;
    }
    if (m.in(layout.throttleWheel()) || m.repeats(repeat::throttle)) {
        if (m.wheel()) return m.wheelKey('K', 'J');
        if (auto o = handWheel(m, s, cab::turnThrottle, true, MouseResult::throttleHeld)) return o;
    }
    if (m.in(layout.injectionWheel()) || m.repeats(repeat::injection)) {
        if (m.wheel()) return m.wheelKey('M', 'N');
        if (auto o = handWheel(m, s, cab::turnWaterInjection, true, MouseResult::injectionHeld)) return o;
    }
    return std::nullopt;
}

MouseOutcome MouseCommands::lastClicks(const Message& m, const MouseLayout& layout, LocomotiveState& s) {
    if (!m.leftDown()) return {};
    if (m.in(layout.blastPipeLever())) {
        cab::flip(s, cab::Switch::blastPipe);
        return {MouseResult::changed};
    }
    if (m.in(layout.indicator(2700)) && s.indicatorShown && !s.trackTableShown) {
        cab::switchIndicatorSide(s);
        return {MouseResult::changed};
    }
    if (m.in(layout.dataButton())) return {MouseResult::dataDialog};
    if (m.in(layout.trackModeButton())) {
        if (!cab::flip(s, cab::Switch::trackFunction)) return {};
        return {MouseResult::changed};
    }
    if (m.in(layout.autoControlButton())) return {MouseResult::autoControlDialog};
    return {};
}

}  // namespace zt40
