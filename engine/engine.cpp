#include "engine.h"

#include <algorithm>
#include <cmath>

#include "cab_controls.h"
#include "configuration.h"
#include "configuration_file.h"
#include "frame_handover.h"
#include "numeric.h"
#include "pointer_targets.h"
#include "sound_output.h"
#include "sim_speed.h"
#include "track_list.h"
#include "virtual_keys.h"
#include "window_layout.h"

namespace zt40 {

namespace {

constexpr int runningTickMs = 14;
constexpr int standbyTickMs = 1000;

}  // namespace


Engine::Engine(EngineHost& host, EngineParts parts, std::optional<std::uint32_t> fixedSeed)
    : host_(host),
      parts_(std::move(parts)),
      fixedSeed_(fixedSeed),
      state_(std::make_unique<LocomotiveState>()),
      frame_(std::make_unique<FrameView>()) {
    constructSteamSpaces(*state_);
}

Engine::~Engine() {
    if (parts_.simulation) parts_.simulation->stop();
    freeTrackList(*state_, trackAllocator_);
}

void Engine::load(const ConfigurationReader& read) {
    LocomotiveState& s = *state_;
    reseed();
    createFirstTrackPoint(s, trackAllocator_);
    if (read) read(s, random_, trackAllocator_);
    else validateConfiguration(s, true, random_);  // no file: the defaults, as for a missing one
    ensureDefaultTrackPoint(s, trackAllocator_);
}

void Engine::freshStart() { applyFreshStart(*state_, random_); }

void Engine::resume() { applyResumedStart(*state_); }

bool Engine::start(const std::function<void(LocomotiveState&)>& beforeModelStart) {
    LocomotiveState& s = *state_;
    s.sandSeconds = 1800.0;
    s.mainWindow = true;
    autoControl_ = AutoControlSettings{};
    autoSandingSeen_ = s.autoSanding;
    if (beforeModelStart) beforeModelStart(s);
    reseedDistance_ = s.distance;

    // The model's thread, the frame rules and the display, then the timers.
    frame_->record = s;
    frameRules_ = FrameRules(s);
    const bool started = parts_.simulation->start(s) && (!parts_.display || parts_.display->start());
    if (!started) return false;
    started_ = true;
    setTimer(timer::mainTick, runningTickMs);
    setTimer(timer::calibration, 5000);
    if (s.soundOn) {
        parts_.driving->startEngineSound();
        s.soundRestart = true;
    }
    return true;
}

void Engine::stop() {
    if (stopped_) return;
    stopped_ = true;
    parts_.driving->stopAllSound();
    for (int id : {1, 2, 3, 4, 5, 6, 10, 11, 12, 13}) killTimer(id);
}

void Engine::setTimer(int id, int periodMs) {
    running_[id] = true;
    host_.setTimer(id, periodMs);
}

void Engine::killTimer(int id) {
    running_[id] = false;
    host_.killTimer(id);
}

void Engine::onSize(int width, int height) {
    LocomotiveState& s = *state_;
    if (width < 21 || height < 21) {
        releaseButtons();  // the mouse is ignored from here, its button-up too
        s.clientWidth = width;
        s.clientHeight = height;
        s.displayScale = 0.0;  // too small to draw or to take the mouse
        return;
    }
    s.clientWidth = width;
    s.clientHeight = height;
    s.displayScale = designScale(width, height);
}

void Engine::onSetFocus() {
    state_->windowFocused = true;
    if (state_->soundOn && SimSpeed(state_->simSpeedCode).engineHeard()) {
        parts_.driving->startEngineSound();
        state_->soundRestart = true;
    }
}

void Engine::onKillFocus() {
    state_->windowFocused = false;
    state_->whistleBlowing = false;  // its key's release goes to another window
    parts_.driving->stopAllSound();
    releaseButtons();
}

void Engine::releaseButtons() {
    // A button let go where the window could not see it counts as let go
    // here, or a drag and the repeats would run on without it.
    const int x = state_->mouseX, y = state_->mouseY;  // px
    if (leftButtonDown_) onMouse(MouseMessage::leftUp, x, y, 0);
    if (rightButtonDown_) onMouse(MouseMessage::rightUp, x, y, 0);
    leftButtonDown_ = rightButtonDown_ = false;
}

void Engine::noteButtons(MouseMessage message) {
    switch (message) {
        case MouseMessage::leftDown: case MouseMessage::leftDoubleClick: leftButtonDown_ = true; break;
        case MouseMessage::leftUp: leftButtonDown_ = false; break;
        case MouseMessage::rightDown: rightButtonDown_ = true; break;
        case MouseMessage::rightUp: rightButtonDown_ = false; break;
        default: break;
    }
}

void Engine::onPaint() {
    state_->simHold = true;
    frameHandOver();
}

void Engine::onKey(KeyMessage message, int virtualKey) {
    if (stopped_ || damaged_) return;
    LocomotiveState& s = *state_;
    if (message == KeyMessage::keyUp && !keyUpPending_) {
        keyUpPending_ = true;
        setTimer(timer::keyRelease, 1000);
    }
    if (virtualKey != vk::r) s.hoverTarget = 0;  // R keeps the regulator-mode hint on screen
    s.hoverHintVisible = false;
    killTimer(timer::hoverHint);
    parts_.driving->handleKey(message, virtualKey, s, commandChanged_, coarseSteps_);
    commandChangedCopy_ = commandChanged_;
    if (!s.fineTimer) host_.postTimer(timer::mainTick);  // the display follows in standby
    if (!timerRunning(timer::brakeStep) && (virtualKey == vk::add || virtualKey == vk::subtract)) {
        host_.postTimer(timer::brakeStep);
    }
    if (s.dataDialogRequest && !s.dataDialogOpen) {
        host_.openDataDialog();
        s.dataDialogRequest = false;
    }
    if (s.autoControlDialogRequest && !autoControl_.dialogOpen) {
        host_.openAutoControlDialog();
        s.autoControlDialogRequest = false;
    }
}

void Engine::onMouse(MouseMessage message, int x, int y, int wheelOrRepeat) {
    if (stopped_ || damaged_) return;
    LocomotiveState& s = *state_;
    if (message == MouseMessage::wheel) setTimer(timer::wheelRelease, 200);
    s.hoverTarget = 0;
    if (s.displayScale == 0.0) return;
    noteButtons(message);
    const CursorShape cursor = parts_.driving->hover(message, x, y, s);
    if (message != MouseMessage::repeat) {  // a repeat has no position to show a cursor for
        hoverCursor_ = cursor;
        if (!busyShown_) host_.setCursor(cursor);
    }
    if (s.hoverTarget != 0) {
        setTimer(timer::hoverHint, 500);
    } else {
        killTimer(timer::hoverHint);
        if (SimSpeed(s.simSpeedCode).stopped()) host_.postTimer(timer::mainTick);
    }
    // A move reaches the command logic only once the drag timer allows it;
    // only a fresh result is acted on, so moving the mouse does not hold
    // back a repeating command.
    if (message != MouseMessage::move || dragMoveAllowed_) {
        const MouseOutcome outcome = parts_.driving->mouseCommand(message, wheelOrRepeat, s, commandChanged_);
        if (outcome.key != 0) onKey(KeyMessage::keyDown, outcome.key);  // a wheel turn over a control
        pendingCommand_ = outcome.result;
        dragMoveAllowed_ = false;
        commandChangedCopy_ = commandChanged_;
        if (message == MouseMessage::wheel) coarseSteps_ = true;
        actOnMouseResult(pendingCommand_);
    }
}

void Engine::onUser(int offset) { onMouse(MouseMessage::repeat, 0, 0, offset); }

void Engine::reseed() { random_.seed(fixedSeed_ ? *fixedSeed_ : host_.clockSeed()); }

void Engine::postRenderIfStandby() {
    if (!state_->fineTimer) host_.postTimer(timer::renderOnly);
}

void Engine::actOnMouseResult(MouseResult result) {
    LocomotiveState& s = *state_;
    // Held commands repeat through timer 2, which keeps their result.
    const auto repeat = [&](int periodMs) {
        setTimer(timer::mouseRepeat, periodMs);
        postRenderIfStandby();
    };
    switch (result) {
        case MouseResult::reverserDrag: setTimer(timer::dragMove, 20); postRenderIfStandby(); break;
        case MouseResult::regulatorDrag:
            host_.postTimer(timer::dragMove);
            if (!s.fineTimer) setTimer(timer::mainTick, runningTickMs);
            break;
        case MouseResult::brakeDrag:
            setTimer(timer::dragMove, 20);
            postRenderIfStandby();
            if (!timerRunning(timer::brakeStep)) host_.postTimer(timer::brakeStep);
            break;
        case MouseResult::changed: postRenderIfStandby(); break;
        case MouseResult::weightDownHeld: case MouseResult::weightUpHeld: repeat(50); return;
        case MouseResult::waterFillHeld: setTimer(timer::waterFill, 50); postRenderIfStandby(); break;
        case MouseResult::released:
            for (int id : {timer::mouseRepeat, timer::dragMove, timer::waterFill}) killTimer(id);
            dragMoveAllowed_ = false;  // a plain move must not start the drag timer again
            if (!s.fineTimer) {
                setTimer(timer::mainTick, standbyTickMs);
                host_.postTimer(timer::renderOnly);
            }
            s.dragTarget = drag::none;
            break;
        case MouseResult::injectorHeld: repeat(30); return;
        case MouseResult::gradientHeld: case MouseResult::firingHeld: repeat(80); return;
        case MouseResult::dataDialog:
            s.hoverTarget = hover::none;
            killTimer(timer::hoverHint);
            openDataDialogIfClosed();
            break;
        case MouseResult::throttleHeld: case MouseResult::blowerHeld: case MouseResult::injectionHeld:
            repeat(20);
            return;
        case MouseResult::speedRaised:
            if (!s.fineTimer) host_.postTimer(timer::mainTick);
            break;
        case MouseResult::autoControlDialog:
            s.hoverTarget = hover::none;
            killTimer(timer::hoverHint);
            openAutoControlDialogIfClosed();
            s.autoControlDialogRequest = false;
            break;
        case MouseResult::none: break;
    }
    pendingCommand_ = MouseResult::none;
}

void Engine::openDataDialogIfClosed() {
    if (!state_->dataDialogOpen) host_.openDataDialog();
}

void Engine::openAutoControlDialogIfClosed() {
    if (!autoControl_.dialogOpen) host_.openAutoControlDialog();
}

void Engine::onTimer(int id) {
    if (stopped_ || damaged_ || !started_) return;
    LocomotiveState& s = *state_;
    switch (id) {
        case timer::mainTick: mainTick(); break;
        case timer::mouseRepeat:
            // The repeat message of the held command.
            if (const auto message = repeatMessageOf(pendingCommand_)) host_.postUser(*message);
            pendingCommand_ = MouseResult::none;
            break;
        case timer::dragMove: dragMoveAllowed_ = true; break;
        case timer::brakeStep: {
            const bool starting = !timerRunning(timer::brakeStep);
            const int period = parts_.driving->brakeStep(s, starting);
            if (period == 0) {
                killTimer(timer::brakeStep);
            } else {
                if (!s.fineTimer) host_.postTimer(timer::mainTick);
                if (starting) setTimer(timer::brakeStep, period);
            }
            break;
        }
        case timer::waterFill: host_.postUser(repeat::waterFill); break;
        case timer::hoverHint:
            s.hoverHintVisible = true;
            if (SimSpeed(s.simSpeedCode).stopped()) host_.postTimer(timer::mainTick);
            break;
        case timer::renderOnly: frameHandOver(); break;
        case timer::trackWalk:
            walkTrack();
            tickTail();
            break;
        case timer::calibration: calibrate(); break;
        case timer::wheelRelease:
            coarseSteps_ = false;
            onKey(KeyMessage::keyUp, 0);  // releases the key latch
            killTimer(timer::wheelRelease);
            if (!keyUpPending_) {
                keyUpPending_ = true;
                setTimer(timer::keyRelease, 1000);
            }
            break;
        case timer::keyRelease:
            keyUpPending_ = false;
            killTimer(timer::keyRelease);
            cab::settleBrakeHandle(s);
            break;
        case timer::autoControl: autoControlStep(); break;
        default: break;
    }
}

void Engine::frameHandOver() {
    if (damaged_ || stopped_) return;
    LocomotiveState& s = *state_;
    if (!(s.displayScale > 0.0)) return;  // too small to draw: no frame
    // What the last frame decided comes back, the record goes to the frame
    // copy, and the rules decide this frame; its damage is reported at the next.
    const Damage damage = frameRules_.state().damageThisFrame;
    handOverToFrame(s, frame_->record);
    frameRules_.run(frame_->record);
    if (parts_.display) {
        frame_->rules = frameRules_.state();
        frame_->preparation = frameRules_.preparation();
        frame_->trackTable = takeTrackTableSnapshot(s);
        parts_.display->show(*frame_);
    }
    if (damage != Damage::none) {
        workshop(damage);
        return;
    }
    // Onto the knob of a grabbed regulator lever or brake handle, once a
    // frame has shown that knob (the reversing wheel's pointer stays free).
    // Where the pointer cannot be moved, drags go by its own moves.
    const bool lever = s.dragTarget == drag::regulatorLever || s.dragTarget == drag::brakeHandle;
    if (lever && s.handleOf == s.dragTarget) {
        if (host_.setCursorPosition(s.handleX, s.handleY)) parts_.driving->pointerPlaced(s.handleX, s.handleY);
        s.dragTarget = drag::none;
    }
}

void Engine::workshop(Damage damage) {
    // The workshop's message box runs its own loop; ticks and input
    // arriving meanwhile must not raise the damage again.
    damaged_ = true;
    parts_.driving->stopAllSound();
    state_->soundOn = false;
    killTimer(timer::mainTick);
    host_.workshop(damage);
}

double Engine::tickTime() const {
    return (state_->fineTimer ? state_->stepInterval : 1.0) * SimSpeed(state_->simSpeedCode).factor();  // s
}

void Engine::mainTick() {
    LocomotiveState& s = *state_;
    // Hand-overs to the model and to the display. Indicator points that
    // come back from a batch run before the model saw a new cylinder side
    // belong to the other side: no loop until the model has sampled the new one.
    const bool side = s.indicatorSide;
    if (parts_.simulation->exchange()) {
        if (side != indicatorSideHanded_) s.indicatorCount = 0;
        indicatorSideHanded_ = side;
    }
    frameHandOver();
    if (stopped_ || damaged_) return;
    if (s.soundOn && s.windowFocused && SimSpeed(s.simSpeedCode).engineHeard()) parts_.driving->soundUpdate(s);

    const double dt = tickTime();  // s
    if (!SimSpeed(s.simSpeedCode).stopped() && !s.simHold) {
        // Operating aids.
        if (s.injectorAutomatic) parts_.driving->automaticInjector(s);
        parts_.driving->regulatorFollowUp(s, random_);
        parts_.driving->sanding(s, dt);

        // The automatic control's view of the steam draw, and its timer.
        autoDriver_.smoothSteamDraw(s.boilerSteamDraw, dt);
        manageAutoControlTimer();
        parts_.driving->sandBonus(s, dt, random_);

        // Travel along the line.
        advanceDistance(dt);
    }
    tickTail();
}

void Engine::advanceDistance(double dt) {
    LocomotiveState& s = *state_;
    const double travelled = s.trainSpeed * dt;  // m
    s.distance += travelled;
    if (s.boilerSteamDraw > 0.0 && s.wheelSpeed != 0.0) {
        s.waterPerKm = s.boilerSteamDraw * dt / std::fabs(travelled) * 1000.0;  // infinite when slipping on the spot
    } else {
        s.waterPerKm = 0.0;
    }
    walkTrack();
}

void Engine::walkTrack() {
    // The busy cursor while the line is being extended past the train.
    const bool walking = trackWalker_.tick(*state_, random_, trackAllocator_);
    if (walking != busyShown_) host_.setCursor(walking ? CursorShape::busy : hoverCursor_);
    busyShown_ = walking;
}

void Engine::tickTail() {
    LocomotiveState& s = *state_;
    // Beyond an end of the line: extend it one point per message turn.
    if (trackWalker_.walkInitialised() && (trackWalker_.beyondEnd() || trackWalker_.beforeStart()) &&
        !s.trackListFailed) {
        host_.postTimer(timer::trackWalk);
        return;
    }
    // A fresh random sequence every 10 km.
    const double sinceReseed = std::fabs(s.distance - reseedDistance_);  // m
    if (sinceReseed >= 10000.0 && sinceReseed <= 10010.0) {
        reseed();
        reseedDistance_ = s.distance;
    }
    runOrStandby();
}

void Engine::runOrStandby() {
    LocomotiveState& s = *state_;
    const bool firingHard = !s.autoFiring && s.fireRate != 0 && s.boilerSteam.pressure >= 1440000.0;
    const bool standby = std::fabs(s.trainSpeed) < 1e-6 && !s.sandingOn && !s.sandRunning && !s.inputHeld &&
                         !timerRunning(timer::brakeStep) && !firingHard && s.steamChest.pressure < 10000.0 &&
                         !s.waterSloshing && s.pilotValve == 0;
    const bool stopped = SimSpeed(s.simSpeedCode).stopped();
    if (standby || stopped) {
        if (stopped) killTimer(timer::mainTick);
        else setTimer(timer::mainTick, standbyTickMs);
        s.fineTimer = false;
    } else if (!s.fineTimer) {
        setTimer(timer::mainTick, runningTickMs);
        s.fineTimer = true;
    }
}

void Engine::manageAutoControlTimer() {
    LocomotiveState& s = *state_;
    if (autoControl_.controlOn && !timerRunning(timer::autoControl)) {
        autoDriver_.takeDirection(s.trainSpeed);
        startAutoControlTimer();
    } else if (commandChangedCopy_) {
        startAutoControlTimer();
    } else if (autoControl_.controlOn && s.valvesEngaged && !autoControlTablePeriod_) {
        startAutoControlTimer();
    } else if (!autoControl_.controlOn && timerRunning(timer::autoControl)) {
        killTimer(timer::autoControl);
    } else if (!s.valvesEngaged && autoControlTablePeriod_) {
        setTimer(timer::autoControl, SimSpeed(s.simSpeedCode).autoControlFloatingPeriod());
        autoControlTablePeriod_ = false;
    }
}

void Engine::startAutoControlTimer() {
    setTimer(timer::autoControl, SimSpeed(state_->simSpeedCode).autoControlPeriod());
    autoControlTablePeriod_ = true;
    commandChangedCopy_ = false;
    // Automatic sanding as the driver chose it last: by the key since the
    // control last set it, or else by "Autosand" in the dialog.
    if (state_->autoSanding != autoSandingSeen_) autoControl_.autoSand = state_->autoSanding;
}

void Engine::autoControlStep() {
    if (!autoControl_.controlOn) return;
    const AutoControlEffects effects = autoDriver_.step(*state_, autoControl_);
    autoSandingSeen_ = state_->autoSanding;
    // A new brake command is followed by the brake valve as after a key.
    if (effects.startBrakeStepping && !timerRunning(timer::brakeStep)) host_.postTimer(timer::brakeStep);
    if (effects.stopTimer) killTimer(timer::autoControl);
}

void Engine::calibrate() {
    LocomotiveState& s = *state_;
    const std::int64_t now = host_.tickCount();
    const std::int64_t simulated = truncateTo<std::int64_t>(s.simTime * 1000.0);
    const std::int64_t real = now - lastTickCount_;   // ms
    std::int64_t modelled = simulated - lastSimulatedMs_;  // ms
    lastTickCount_ = now;
    lastSimulatedMs_ = simulated;
    if (real <= 0 || modelled <= 0) return;

    // On the real-time scale; outside the calibrated speeds, after a speed
    // change and in standby the interval does not count.
    const SimSpeed speed(s.simSpeedCode);
    modelled = speed.onRealTimeScale(modelled);
    if (!speed.calibrated() || !s.fineTimer || commandChanged_) {
        calibrationArmed_ = false;
        commandChanged_ = false;
        return;
    }
    if (!calibrationArmed_) {  // the first interval after a change does not count
        calibrationArmed_ = true;
        return;
    }
    const double correction =
        std::min(std::fabs(static_cast<double>(real - modelled)) / modelled * s.stepInterval, 0.01);  // s
    if (real > modelled) s.stepInterval += correction;
    if (real < modelled) s.stepInterval -= correction;
}

}  // namespace zt40
