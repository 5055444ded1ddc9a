#pragma once
// The cab's controls: the keys, the mouse and the operating aids, with the
// sound they switch.

#include "driving_logic.h"
#include "key_handler.h"
#include "mouse_commands.h"
#include "mouse_hover.h"
#include "operating_aids.h"
#include "sound_output.h"

namespace zt40 {

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
    void soundUpdate(LocomotiveState& state) override { sound_.update(state); }
    void startEngineSound() override { sound_.startEngineLoop(); }
    void stopAllSound() override { sound_.stopAll(); }

private:
    SoundOutput& sound_;
    KeyHandler keys_;
    MouseCommands mouse_;
    OperatingAids aids_;
};

}  // namespace zt40
