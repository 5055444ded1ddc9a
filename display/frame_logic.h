#pragma once
// What the render thread decides in every frame besides drawing: the shake
// of the side view and the counter-pressure detection, the floating model
// of the piston-valve heads, the frame accounting (sleepers, exhaust glow,
// coal, samples for the averages), the warning states and the damage that
// ends the run. It works on the render copy of the record and draws nothing.

#include <cstdint>

#include "damage.h"
#include "joint_geometry.h"
#include "locomotive_state.h"
#include "text_boxes.h"

namespace zt40 {

// Warnings, one at a time, by state number.
enum class Warning : std::uint8_t {
    none = 0,
    valveMayBreak = 1,     // "Kolbeschieber kann brechen !"
    sandIntoSlip = 2,      // "Ins schleudernde Rad gesandet !"
    sandTooShort = 3,      // "Mindestens 1 Umdrehung Sanden !"
    valveFlutter = 4,      // "Kolbenschieber flattert !"
    cylinderRelief = 5,    // "Überdruck in den Zylindern"
    spittingWater = 6,     // "Maschine spuckt Wasser"
    priming = 7,           // the priming text with its rate
    blastPipeSuction = 8,  // "Blasrohr saugt Lösche an"
};

struct FrameState {
    double previousDistance = 0.0;  // m
    double sleeperPhase = 0.0;      // px of the reference sleeper
    double exhaustGlow = 0.0;       // 0..5
    double wheelGlow = 0.0;         // follows the brake
    double rearHeadLimit = 0.0;     // mm from the window edge
    double frontHeadLimit = 10000.0;  // mm
    int floatFrames = 0;              // up to 200
    std::uint8_t valveBreakCount = 0;
    std::uint8_t sandSlipCount = 0;
    std::uint8_t shakeCounter = 0;
    bool sandFront = false;
    bool sandRear = false;
    Warning warningState = Warning::none;
    int warningFrames = 0;
    bool counterPressureMode = false;
    bool equalizeFlag = false;
    double coalRate = 0.0;   // kg/s
    double coalTotal = 0.0;  // kg since the start
    double timeFactor = 0.0;  // simulated s per frame
    Damage damageThisFrame = Damage::none;
    // The texts' latches: a warning shown once stays until its cause has
    // clearly gone; the counter delays the cut-off and equalising hints.
    std::uint8_t equalizeCounter = 0;  // frames, up to 254
    bool boilerLimitLatch = false;
    bool steamChestHighLatch = false;
    bool boilerOverpressureLatch = false;
};

// One sample per frame for each of the four moving averages.
struct AverageSamples {
    float heatingSurfaceLoad;  // kg/(m² h)
    float acceleration;        // m/s²
    float wheelPower;          // kW
    float waterPerKm;          // l/km
};

// The published means of the four averages, as the frame draws them.
struct AverageMeans {
    float heatingSurfaceLoad = 0.0f;  // kg/(m² h)
    float acceleration = 0.0f;        // m/s²
    float wheelPower = 0.0f;          // kW
    float waterPerKm = 0.0f;          // l/km
};

struct FramePreparation {
    double anchorX;  // px, the driving axle after the shake (U)
    double anchorY;  // px (S)
    JointPositions joints;
    bool accounted;  // the frame counted (not STOP, not held)
    AverageSamples samples;
};

class FrameLogic {
public:
    explicit FrameLogic(const LocomotiveState& copy) { state_.previousDistance = copy.distance; }

    // Preparation up to the warning triggers (before drawing).
    FramePreparation prepare(LocomotiveState& copy);
    // While the cylinder is drawn: its relief valves raise the warning.
    void cylinderDrawn(const LocomotiveState& copy);
    // The text stage: status lines, help box and warnings, and the damage
    // of overspeed, a burst cylinder cover and the boiler run dry, all only
    // while the texts are shown.
    TextStage textStage(LocomotiveState& copy, const AverageMeans& means = {});
    // After drawing: the warning counts down; returns the frame's damage.
    Damage finish();

    const FrameState& state() const { return state_; }
    FrameState& state() { return state_; }

private:
    void shake(LocomotiveState& copy, double& x0, double& y0);
    void valveHeads(LocomotiveState& copy, double anchorX, double rodX);
    void account(LocomotiveState& copy, FramePreparation& frame);
    void warningTriggers(const LocomotiveState& copy);
    void warn(Warning warning, int frames);
    void damage(Damage kind) { state_.damageThisFrame = kind; }

    FrameState state_;
};

}  // namespace zt40
