#pragma once
// The parts of the program the main window calls on its ticks and input:
// the simulation and render exchanges, and the driving logic of keys,
// mouse, operating aids, sound and automatic control. Each is an interface
// with a plain default, so the window works while later parts are added.

#include <memory>

#include "key_handler.h"
#include "locomotive_state.h"
#include "mouse_codes.h"
#include "mouse_commands.h"
#include "mouse_hover.h"
#include "operating_aids.h"
#include "platform.h"
#include "frame_logic.h"
#include "random15.h"
#include "render_controller.h"
#include "sound_output.h"
#include "simulation_controller.h"
#include "synchronous_simulation.h"
#include "valve_engagement.h"
#include "window_messages.h"

namespace zt40 {

class SimulationPort {
public:
    virtual ~SimulationPort() = default;
    virtual bool start(SimulationBlock& mainRecord) = 0;
    virtual bool exchange() = 0;
    virtual void stop() = 0;
};

// The model on its own thread, as the program runs it.
class ThreadedSimulation final : public SimulationPort {
public:
    bool start(SimulationBlock& mainRecord) override { return controller_.start(mainRecord); }
    bool exchange() override { return controller_.exchange(); }
    void stop() override { controller_.stop(); }

private:
    SimulationController controller_;
};

// The model run in the exchange itself, for tests and the headless runner.
class InlineSimulation final : public SimulationPort {
public:
    bool start(SimulationBlock& mainRecord) override { return simulation_.start(mainRecord); }
    bool exchange() override { return simulation_.exchange(); }
    void stop() override { simulation_.stop(); }

private:
    SynchronousSimulation simulation_;
};

class RenderPort {
public:
    virtual ~RenderPort() = default;
    virtual bool start(LocomotiveState& state) = 0;
    // Hands the record to the display; returns a damage code (0 none).
    virtual int exchange(LocomotiveState& state) = 0;
};

// The display on its own thread.
class ThreadedRender final : public RenderPort {
public:
    explicit ThreadedRender(FrameTarget& target) : controller_(target) {}
    bool start(LocomotiveState& state) override { return controller_.start(state); }
    int exchange(LocomotiveState&) override { return controller_.exchange(); }

private:
    RenderController controller_;
};

// The frame logic without drawing, run in the exchange itself: the headless
// runner sees the valve heads, warnings and damage as the program does.
class InlineRender final : public RenderPort {
public:
    bool start(LocomotiveState& state) override {
        copy_ = std::make_unique<LocomotiveState>(state);
        logic_ = std::make_unique<FrameLogic>(*copy_);
        return true;
    }
    int exchange(LocomotiveState& state) override {
        if (!(state.displayScale > 0.0)) return 0;
        // What the last frame decided comes back, the record goes in, and
        // its one-shot events reach this one frame.
        state.reverserMoved = copy_->reverserMoved;
        state.pistonX = copy_->pistonX;
        state.valveHeadRearX = copy_->valveHeadRearX;
        state.valveHeadFrontX = copy_->valveHeadFrontX;
        state.handleX = copy_->handleX;
        state.handleY = copy_->handleY;
        state.handleOf = copy_->handleOf;
        state.valvesEngaged = copy_->valvesEngaged;
        state.simHold = copy_->simHold;
        state.valveKnock = copy_->valveKnock;
        const int damage = damage_;
        *copy_ = state;
        state.sandIntoSlip = false;
        state.valveReleaseRequest = false;
        state.sandTooShort = false;
        logic_->prepare(*copy_);
        logic_->cylinderDrawn(*copy_);
        logic_->textStage(*copy_);
        damage_ = logic_->finish();
        return damage;
    }
    const FrameState& frameState() const { return logic_->state(); }

private:
    std::unique_ptr<LocomotiveState> copy_;
    std::unique_ptr<FrameLogic> logic_;
    int damage_ = 0;
};

// Without a display (tests): what a frame does for the model, the release of
// the hold that a repaint puts on it and the piston valves in their
// simplest form.
class FrameStandIn final : public RenderPort {
public:
    bool start(LocomotiveState&) override { return true; }
    int exchange(LocomotiveState& state) override {
        state.simHold = false;
        engageValvesBySteam(state);
        return 0;
    }
};

// Driving logic of keys, mouse, operating aids, sound and the automatic
// control; the defaults do nothing.
class DrivingLogic {
public:
    virtual ~DrivingLogic() = default;
    virtual void handleKey(KeyMessage, int /*virtualKey*/, LocomotiveState&, bool& /*commandChanged*/,
                           bool /*coarseSteps*/) {}
    // Sets `mouseX`, `mouseY` and `hoverTarget`; returns the cursor to show.
    virtual CursorShape hover(MouseMessage, int x, int y, LocomotiveState& state) {
        state.mouseX = x;
        state.mouseY = y;
        return CursorShape::standard;
    }
    // A mouse command: its result, and the key a wheel turn stands for.
    virtual MouseOutcome mouseCommand(MouseMessage, int /*wheelOrRepeat*/, LocomotiveState&,
                                      bool& /*commandChanged*/) {
        return {};
    }
    // The window put the pointer on the knob of a dragged control.
    virtual void pointerPlaced(int /*x*/, int /*y*/) {}
    virtual void automaticInjector(LocomotiveState&) {}
    virtual void regulatorFollowUp(LocomotiveState&, Random15&) {}
    virtual void sanding(LocomotiveState&, double /*dt*/) {}
    virtual void sandBonus(LocomotiveState&, double /*dt*/, Random15&) {}
    // One step of the brake; the period (ms) for the next step, 0 to stop.
    virtual int brakeStep(LocomotiveState&, bool /*starting*/) { return 0; }
    // The sound update of the tick; true when a valve knock began, whose
    // 400 ms the window times.
    virtual bool soundUpdate(LocomotiveState&) { return false; }
    virtual void knockEnded(LocomotiveState&) {}
    virtual void startEngineSound() {}
    virtual void stopAllSound() {}
};

// The cab's controls: the keys, the mouse and the operating aids, with the
// sound they switch.
class CabDriving : public DrivingLogic {
public:
    explicit CabDriving(SoundOutput& sound) : sound_(sound) {}
    void handleKey(KeyMessage message, int virtualKey, LocomotiveState& state, bool& commandChanged,
                   bool coarseSteps) override {
        keys_.handle(message, virtualKey, state, commandChanged, coarseSteps, sound_);
    }
    CursorShape hover(MouseMessage, int x, int y, LocomotiveState& state) override { return hoverMouse(x, y, state); }
    MouseOutcome mouseCommand(MouseMessage message, int wheelOrRepeat, LocomotiveState& state,
                              bool& commandChanged) override {
        return mouse_.command(message, wheelOrRepeat, state, commandChanged, sound_);
    }
    void pointerPlaced(int x, int y) override { mouse_.pointerPlaced(x, y); }
    void automaticInjector(LocomotiveState& state) override { aids_.automaticInjector(state); }
    void regulatorFollowUp(LocomotiveState& state, Random15& random) override {
        aids_.regulatorFollowUp(state, random);
    }
    void sanding(LocomotiveState& state, double dt) override { aids_.sanding(state, dt); }
    void sandBonus(LocomotiveState& state, double dt, Random15& random) override {
        aids_.sandBonus(state, dt, random);
    }
    int brakeStep(LocomotiveState& state, bool starting) override { return aids_.brakeStep(state, starting); }
    bool soundUpdate(LocomotiveState& state) override { return sound_.update(state); }
    void knockEnded(LocomotiveState& state) override { sound_.knockEnded(state); }
    void startEngineSound() override { sound_.startEngineLoop(); }
    void stopAllSound() override { sound_.stopAll(false); }

private:
    SoundOutput& sound_;
    KeyHandler keys_;
    MouseCommands mouse_;
    OperatingAids aids_;
};


}  // namespace zt40
