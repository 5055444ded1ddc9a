#include "window_logic.h"

#include <algorithm>
#include <cmath>

#include "configuration.h"
#include "numeric.h"
#include "pointer_targets.h"
#include "sound_output.h"
#include "time_step.h"
#include "track_list.h"
#include "virtual_keys.h"

namespace zt40 {

namespace {

constexpr int runningTickMs = 14;
constexpr int standbyTickMs = 1000;

// Speed factor of a speed code (STOP counts as real time for the arithmetic).
double speedFactor(std::int8_t code) {
    const auto step = speedStepFor(code);
    return step ? step->speedFactor : 1.0;
}

const char* damageText(Damage damage) {
    switch (damage) {
        case Damage::pistonValveBroken:
            return "Min 1 Kolbenschieber gebrochen. Schieber ist zu stark mit seinem\nHalter kollidiert. Zuviel Druck "
                   "oder Fehlbedienung beim Lastwechsel.";
        case Damage::overspeed:
            return "Maschine wurde durch zu hohe Fliehkräfte,\nwegen zu schnellen Fahren beschädigt.";
        case Damage::runningGearBySanding:
            return "Triebwerk durch Sanden in die schleudernten\nRäder beschädigt. Es entstanden\nzu hohe Kräfte.";
        case Damage::cylinderCoverBurst:
            return "Mindestens ein Zylinderdeckel wurde zerstört.\nEs entstand zu hoher Druck oder Wasserschlag.";
        case Damage::boilerExplosion:
        default: return "Kesselzerknall durch Niedrigwasser.";
    }
}

// Timer 13's period for a speed code, ms.
int autoControlPeriod(std::int8_t code) {
    switch (code) {
        case -3: return 1000;
        case -2: return 500;
        case -1: return 200;
        case 1: return 50;
        case 2: return 20;
        case 3: return 10;
        default: return 100;
    }
}

// The brake valve settles into its nearest position.
std::int8_t normalisedBrakeCommand(std::int8_t command) {
    if (command < 5) return 0;
    if (command < 15) return 9;
    if (command < 25) return 19;
    return 29;
}

}  // namespace

const char* MainWindowLogic::startupNotice() {
    return "Achtung Troffimoffschieber!\n"
           "\n"
           "Übergang in Leerlauf:\n"
           "Regler zu, Steuerung auf rund 55% auslegen, nach Druckabfall im Schieberkasten auf 10% einziehen.\n"
           "Übergang auf Lastfahrt:\n"
           "Steuerung auf Null einziehen. Regler auf und gewünschte Füllung einstellen.\n"
           "\n"
           "Bedienung der Gegendruckbremse\n"
           "Anstellen:\n"
           "1. Drosselventil öffnen (1/2 Umdrehung)\n"
           "2. Blasrohr schließen\n"
           "3. Druckausgleicher schließen\n"
           "4. Steuerung entgegen der Fahrtrichtung legen\n"
           "5. Zylindereinspritzung mäßig öffnen. Temperatur nicht über 300°C steigen lassen\n"
           "6. Bremsdruck mit dem Drosselventil regeln (höchstens 6 bar)\n"
           "\n"
           "Abstellen:\n"
           "1. Einspritzventil fest schließen\n"
           "2. Drosselventil ganz öffnen\n"
           "3. Steuerung sehr langsam in Fahrtrichtung legen\n"
           "4. Druckausgleicher öffnen\n"
           "5. Drosselventil fest schließen\n"
           "6. Blasrohr öffnen\n"
           "\n"
           "Schwere Tenderlokomotiven mit fünf gekuppelten Achsen entstanden in den 1920er Jahren für "
           "Steilstrecken und den schweren Güterzugdienst im Mittelgebirge. Ohne Schlepptender trugen sie "
           "Wasser und Kohle auf dem eigenen Rahmen, was das Reibungsgewicht erhöhte; die Gegendruckbremse "
           "erlaubte lange Gefällefahrten ohne heißgelaufene Bremsklötze. Manche standen bis in die 1970er "
           "Jahre im Dienst.";
}

MainWindowLogic::MainWindowLogic(Platform& platform, ShellParts parts, ShellOptions options)
    : platform_(platform),
      parts_(std::move(parts)),
      options_(std::move(options)),
      state_(std::make_unique<LocomotiveState>()),
      configuration_(platform, options_.configurationFile, options_.saveAtExit) {
    constructSteamSpaces(*state_);
}

MainWindowLogic::~MainWindowLogic() {
    if (parts_.simulation) parts_.simulation->stop();
    freeTrackList(*state_, trackAllocator_);
}

void MainWindowLogic::setTimer(int id, int periodMs) {
    running_[id] = true;
    platform_.setTimer(id, periodMs);
}

void MainWindowLogic::killTimer(int id) {
    running_[id] = false;
    platform_.killTimer(id);
}

void MainWindowLogic::onCreate() {
    LocomotiveState& s = *state_;
    reseed();

    // Track list, configuration, and the question whether to go on.
    createFirstTrackPoint(s, trackAllocator_);
    configuration_.load(s, random_, trackAllocator_);
    ensureDefaultTrackPoint(s, trackAllocator_);
    if (!s.stateDefaulted) {
        if (platform_.askYesNo("Soll die alte Konfiguration\ngeladen werden? Streckendaten\nwerden immer geladen.",
                               "Frage", true)) {
            applyResumedStart(s);
        } else {
            applyFreshStart(s, random_);
        }
    }
    s.sandSeconds = 1800.0;
    s.mainWindow = 1;
    autoControl_ = AutoControlSettings{};
    if (options_.beforeModelStart) options_.beforeModelStart(s);
    reseedDistance_ = s.distance;

    // The two worker threads, then the timers.
    const bool started = parts_.simulation->start(s) && parts_.render->start(s);
    if (!started) {
        platform_.showMessage("Es konnte nicht genug Speicher reserviert werden", "Speicherproblem",
                              MessageIcon::error);
        onDestroy();
        return;
    }
    started_ = true;
    setTimer(timer::mainTick, runningTickMs);
    setTimer(timer::calibration, 5000);
    if (s.soundOn) {
        parts_.driving->startEngineSound();
        s.soundRestart = true;
    }
}

void MainWindowLogic::onDestroy() {
    if (ended_) return;
    ended_ = true;
    LocomotiveState& s = *state_;
    parts_.driving->stopAllSound();
    for (int id : {1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 13}) killTimer(id);

    configuration_.saveAtExit(s);
    freeTrackList(s, trackAllocator_);
    platform_.quit(0);
}

void MainWindowLogic::onSize(int width, int height) {
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
    // The design area of 8000 x 5851 mm fills the window's narrower side.
    s.displayScale = static_cast<double>(width) / height < 1.367 ? 8000.0 / width : 5851.0 / height;
    s.indicatorCount = 0;
}

void MainWindowLogic::onSetFocus() {
    state_->windowFocused = true;
    if (state_->soundOn && engineSoundSpeed(state_->simSpeedCode)) {
        parts_.driving->startEngineSound();
        state_->soundRestart = true;
    }
}

void MainWindowLogic::onKillFocus() {
    state_->windowFocused = false;
    parts_.driving->stopAllSound();
    releaseButtons();
}

void MainWindowLogic::releaseButtons() {
    // A button let go where the window could not see it counts as let go
    // here, or a drag and the repeats would run on without it.
    const int x = state_->mouseX, y = state_->mouseY;  // px
    if (leftButtonDown_) onMouse(MouseMessage::leftUp, x, y, 0);
    if (rightButtonDown_) onMouse(MouseMessage::rightUp, x, y, 0);
    leftButtonDown_ = rightButtonDown_ = false;
}

void MainWindowLogic::noteButtons(MouseMessage message) {
    switch (message) {
        case MouseMessage::leftDown: case MouseMessage::leftDoubleClick: leftButtonDown_ = true; break;
        case MouseMessage::leftUp: leftButtonDown_ = false; break;
        case MouseMessage::rightDown: rightButtonDown_ = true; break;
        case MouseMessage::rightUp: rightButtonDown_ = false; break;
        default: break;
    }
}

void MainWindowLogic::onPaint() {
    state_->simHold = true;
    renderExchange();
}

void MainWindowLogic::onKey(KeyMessage message, int virtualKey) {
    if (ended_ || damaged_) return;
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
    if (!s.fineTimer) platform_.postTimer(timer::mainTick);  // the display follows in standby
    if (!timerRunning(timer::brakeStep) && (virtualKey == vk::add || virtualKey == vk::subtract)) {
        platform_.postTimer(timer::brakeStep);
    }
    if (s.dataDialogRequest && !s.dataDialogOpen) {
        platform_.openDataDialog();
        s.dataDialogRequest = false;
    }
    if (s.autoControlDialogRequest && !autoControl_.dialogOpen) {
        platform_.openAutoControlDialog();
        s.autoControlDialogRequest = false;
    }
}

void MainWindowLogic::onMouse(MouseMessage message, int x, int y, int wheelOrRepeat) {
    if (ended_ || damaged_) return;
    LocomotiveState& s = *state_;
    if (message == MouseMessage::wheel) setTimer(timer::wheelRelease, 200);
    s.hoverTarget = 0;
    if (s.displayScale == 0.0) return;
    noteButtons(message);
    const CursorShape cursor = parts_.driving->hover(message, x, y, s);
    if (message != MouseMessage::repeat) {  // a repeat has no position to show a cursor for
        hoverCursor_ = cursor;
        if (!busyShown_) platform_.setCursor(cursor);
    }
    if (s.hoverTarget != 0) {
        setTimer(timer::hoverHint, 500);
    } else {
        killTimer(timer::hoverHint);
        if (s.simSpeedCode == simSpeedStop) platform_.postTimer(timer::mainTick);
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

void MainWindowLogic::onUser(int offset) { onMouse(MouseMessage::repeat, 0, 0, offset); }

void MainWindowLogic::reseed() { random_.seed(options_.fixedSeed ? *options_.fixedSeed : clockSeedNow()); }

void MainWindowLogic::postRenderIfStandby() {
    if (!state_->fineTimer) platform_.postTimer(timer::renderOnly);
}

void MainWindowLogic::actOnMouseResult(MouseResult result) {
    LocomotiveState& s = *state_;
    // Held commands repeat through timer 2, which keeps their result.
    const auto repeat = [&](int periodMs) {
        setTimer(timer::mouseRepeat, periodMs);
        postRenderIfStandby();
    };
    switch (result) {
        case MouseResult::reverserDrag: setTimer(timer::dragMove, 20); postRenderIfStandby(); break;
        case MouseResult::regulatorDrag:
            platform_.postTimer(timer::dragMove);
            if (!s.fineTimer) setTimer(timer::mainTick, runningTickMs);
            break;
        case MouseResult::brakeDrag:
            setTimer(timer::dragMove, 20);
            postRenderIfStandby();
            if (!timerRunning(timer::brakeStep)) platform_.postTimer(timer::brakeStep);
            break;
        case MouseResult::changed: postRenderIfStandby(); break;
        case MouseResult::weightDownHeld: case MouseResult::weightUpHeld: repeat(50); return;
        case MouseResult::waterFillHeld: setTimer(timer::waterFill, 50); postRenderIfStandby(); break;
        case MouseResult::released:
            for (int id : {timer::mouseRepeat, timer::dragMove, timer::waterFill}) killTimer(id);
            dragMoveAllowed_ = false;  // a plain move must not start the drag timer again
            if (!s.fineTimer) {
                setTimer(timer::mainTick, standbyTickMs);
                platform_.postTimer(timer::renderOnly);
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
            if (!s.fineTimer) platform_.postTimer(timer::mainTick);
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

void MainWindowLogic::openDataDialogIfClosed() {
    if (!state_->dataDialogOpen) platform_.openDataDialog();
}

void MainWindowLogic::openAutoControlDialogIfClosed() {
    if (!autoControl_.dialogOpen) platform_.openAutoControlDialog();
}

void MainWindowLogic::onTimer(int id) {
    if (ended_ || damaged_ || !started_) return;
    LocomotiveState& s = *state_;
    switch (id) {
        case timer::mainTick: mainTick(); break;
        case timer::mouseRepeat:
            // The repeat message of the held command.
            if (const auto message = repeatMessageOf(pendingCommand_)) platform_.postUser(*message);
            pendingCommand_ = MouseResult::none;
            break;
        case timer::dragMove: dragMoveAllowed_ = true; break;
        case timer::brakeStep: {
            const bool starting = !timerRunning(timer::brakeStep);
            const int period = parts_.driving->brakeStep(s, starting);
            if (period == 0) {
                killTimer(timer::brakeStep);
            } else {
                if (!s.fineTimer) platform_.postTimer(timer::mainTick);
                if (starting) setTimer(timer::brakeStep, period);
            }
            brakeStepping_ = timerRunning(timer::brakeStep);
            break;
        }
        case timer::waterFill: platform_.postUser(repeat::waterFill); break;
        case timer::hoverHint:
            s.hoverHintVisible = true;
            if (s.simSpeedCode == simSpeedStop) platform_.postTimer(timer::mainTick);
            break;
        case timer::soundRestart:
            killTimer(timer::soundRestart);
            parts_.driving->knockEnded(s);
            break;
        case timer::renderOnly: renderExchange(); break;
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
            s.brakeCommand = normalisedBrakeCommand(s.brakeCommand);
            break;
        case timer::autoControl: autoControlStep(); break;
        default: break;
    }
}

void MainWindowLogic::renderExchange() {
    if (damaged_ || ended_) return;
    LocomotiveState& s = *state_;
    const Damage damage = parts_.render->exchange(s);
    if (damage != Damage::none) {
        damageEnd(damage);
        return;
    }
    // Onto the knob of a grabbed regulator lever or brake handle, once a
    // frame has drawn that knob (the reversing wheel's pointer stays free).
    // Where the pointer cannot be moved, drags go by its own moves.
    const bool lever = s.dragTarget == drag::regulatorLever || s.dragTarget == drag::brakeHandle;
    if (lever && s.handleOf == s.dragTarget) {
        if (platform_.setCursorPosition(s.handleX, s.handleY)) parts_.driving->pointerPlaced(s.handleX, s.handleY);
        s.dragTarget = drag::none;
    }
}

void MainWindowLogic::damageEnd(Damage damage) {
    // The message box runs its own loop; ticks and input arriving meanwhile
    // must not raise the damage again.
    damaged_ = true;
    parts_.driving->stopAllSound();
    state_->soundOn = false;
    killTimer(timer::mainTick);
    platform_.showMessage(damageText(damage), "Werkstatt", MessageIcon::error);
    onDestroy();
}

double MainWindowLogic::tickTime() const {
    return (state_->fineTimer ? state_->stepInterval : 1.0) * speedFactor(state_->simSpeedCode);  // s
}

void MainWindowLogic::mainTick() {
    LocomotiveState& s = *state_;
    // Hand-overs to the model and to the display. Indicator points that
    // come back from a batch run before the model saw a new window size or
    // side belong to the old picture: no loop until the model has sampled
    // for the new one.
    const IndicatorFrame frame{s.displayScale, s.clientWidth, s.indicatorSide};
    if (parts_.simulation->exchange()) {
        if (!(frame == indicatorFrame_)) s.indicatorCount = 0;
        indicatorFrame_ = frame;
    }
    renderExchange();
    if (ended_) return;
    if (s.soundOn && s.windowFocused && engineSoundSpeed(s.simSpeedCode) && parts_.driving->soundUpdate(s)) {
        setTimer(timer::soundRestart, 400);  // the knock sounds alone for 400 ms
    }

    const double dt = tickTime();  // s
    if (s.simSpeedCode != simSpeedStop && !s.simHold) {
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

void MainWindowLogic::advanceDistance(double dt) {
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

void MainWindowLogic::walkTrack() {
    // The busy cursor while the line is being extended past the train.
    const bool walking = trackWalker_.tick(*state_, random_, trackAllocator_);
    if (walking != busyShown_) platform_.setCursor(walking ? CursorShape::busy : hoverCursor_);
    busyShown_ = walking;
}

void MainWindowLogic::tickTail() {
    LocomotiveState& s = *state_;
    // Beyond an end of the line: extend it one point per message turn.
    if (trackWalker_.walkInitialised() && (trackWalker_.beyondEnd() || trackWalker_.beforeStart()) &&
        !s.trackListFailed) {
        platform_.postTimer(timer::trackWalk);
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

void MainWindowLogic::runOrStandby() {
    LocomotiveState& s = *state_;
    const bool firingHard = !s.autoFiring && s.fireRate != 0 && s.boilerSteam.pressure >= 1440000.0;
    const bool standby = std::fabs(s.trainSpeed) < 1e-6 && !s.sandingOn && !s.sandRunning && !s.inputHeld &&
                         !timerRunning(timer::brakeStep) && !firingHard && s.steamChest.pressure < 10000.0 &&
                         !s.waterSloshing && s.pilotValve == 0;
    const bool stopped = s.simSpeedCode == simSpeedStop;
    if (standby || stopped) {
        if (stopped) killTimer(timer::mainTick);
        else setTimer(timer::mainTick, standbyTickMs);
        s.fineTimer = false;
    } else if (!s.fineTimer) {
        setTimer(timer::mainTick, runningTickMs);
        s.fineTimer = true;
    }
}

void MainWindowLogic::manageAutoControlTimer() {
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
        setTimer(timer::autoControl, 30);
        autoControlTablePeriod_ = false;
    }
}

void MainWindowLogic::startAutoControlTimer() {
    setTimer(timer::autoControl, autoControlPeriod(state_->simSpeedCode));
    autoControlTablePeriod_ = true;
    commandChangedCopy_ = false;
    autoControl_.autoSand = state_->autoSanding;
}

void MainWindowLogic::autoControlStep() {
    if (!autoControl_.controlOn) return;
    const AutoControlEffects effects = autoDriver_.step(*state_, autoControl_);
    // A new brake command is followed by the brake valve as after a key.
    if (effects.startBrakeStepping && !timerRunning(timer::brakeStep)) platform_.postTimer(timer::brakeStep);
    if (effects.stopTimer) killTimer(timer::autoControl);
}

void MainWindowLogic::calibrate() {
    LocomotiveState& s = *state_;
    const std::int64_t now = platform_.tickCount();
    const std::int64_t simulated = truncateTo<std::int64_t>(s.simTime * 1000.0);
    const std::int64_t real = now - lastTickCount_;   // ms
    std::int64_t modelled = simulated - lastSimulatedMs_;  // ms
    lastTickCount_ = now;
    lastSimulatedMs_ = simulated;
    if (real <= 0 || modelled <= 0) return;

    // On the real-time scale.
    switch (s.simSpeedCode) {
        case -3: modelled *= 10; break;
        case -2: modelled *= 5; break;
        case -1: modelled *= 2; break;
        case 1: modelled /= 2; break;
        default: break;
    }
    if (s.simSpeedCode < -3 || s.simSpeedCode > 1 || !s.fineTimer || commandChanged_) {
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
