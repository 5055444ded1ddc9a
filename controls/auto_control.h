#pragma once
// The automatic driving control: it works regulator lever, reverser, train
// brake, counter-pressure throttle and cylinder water injection to hold a
// speed or a steam draw. It runs on the main thread, one step per tick of
// its own timer, and moves the same controls the driver's keys and mouse
// move, within their travel and to the brake valve's positions, so model
// and display follow it alike.

#include <cstdint>

#include "locomotive_state.h"

namespace zt40 {

// What the driver asked of the automatic control (kept outside the record).
struct AutoControlSettings {
    bool controlOn = false;
    bool reverseRequest = false;  // "Rückwärts", taken near standstill at mid gear
    bool autoSand = false;
    bool speedMode = false;  // speed mode when set, power mode when clear
    bool forwardRequest = false;  // "Vorwärts", looked at before reverseRequest
    double backPressure = 0.0;               // Pa over atmosphere in the steam chest when braking
    double targetSpeed = 0.0;                // m/s
    double targetPower = 0.0;                // kg/s of steam drawn from the boiler
    double targetChestPressure = 1400000.0;  // Pa over atmosphere
    int minCutoff = 60;                      // half-percent steps
    bool dialogOpen = false;                 // the settings dialog is on screen
};

// What a step asks of the window beyond the record.
struct AutoControlEffects {
    bool startBrakeStepping = false;  // the brake valve must follow a new command
    bool stopTimer = false;           // STOP: the control's timer ends
};

class AutoControl {
public:
    // Every main tick: the steam draw the control sees, smoothed over `tickTime` s.
    void smoothSteamDraw(double boilerSteamDraw, double tickTime);
    // When the control's timer starts: the direction the train is going.
    void takeDirection(double trainSpeed) { driveForward_ = trainSpeed >= 0.0; }

    AutoControlEffects step(LocomotiveState& s, AutoControlSettings& settings);

    double smoothedSteamDraw() const { return smoothedSteamDraw_; }  // kg/s
    bool driveForward() const { return driveForward_; }
    bool brakingPhase() const { return brakingPhase_; }

private:
    struct Trends {
        bool drawRising, drawFalling, chestRising, chestFalling;
    };
    // The quantities a step works with.
    struct Step {
        double v;   // m/s, speed of the train
        double P;   // Pa over atmosphere in the steam chest
        double s;   // kg/s, smoothed steam draw
        double aim; // Pa, steam chest pressure aimed at
        int r;      // half-percent steps of gear in the direction of travel
        int lever;  // regulator lever steps
        int L0;     // the lever as the step found it
        bool valvesEngaged;
        Trends t;
    };

    void startPhase(Step& k, const AutoControlSettings& settings);
    void afterStartPhase(Step& k, const AutoControlSettings& settings);
    bool speedModeLimits(Step& k, LocomotiveState& s, const AutoControlSettings& settings);
    void valvesFloating(Step& k, LocomotiveState& s, const AutoControlSettings& settings);
    void driving(Step& k, LocomotiveState& s, const AutoControlSettings& settings, AutoControlEffects& effects);
    void counterPressureBraking(Step& k, LocomotiveState& s, const AutoControlSettings& settings);
    int holdChestByThrottle(const Step& k, bool overLimit, int throttle, int lowest) const;

    bool initialised_ = false;
    double smoothedSteamDraw_ = 0.0;      // kg/s
    double previousSteamDraw_ = 0.0;      // kg/s
    double previousChestPressure_ = 0.0;  // Pa
    bool driveForward_ = true;
    double workingPower_ = 0.0;         // kg/s, W
    double workingBackPressure_ = 0.0;  // Pa, B
    int cutoffTarget_ = 0;              // half-percent steps
    bool startPhaseDone_ = false;
    bool brakingPhase_ = false;
    bool brakingHold_ = false;
};

}  // namespace zt40
