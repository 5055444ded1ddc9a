#pragma once
// What every frame decides besides drawing: the shake of the side view and
// the counter-pressure detection, the floating model of the piston-valve
// heads, the knob of a dragged control, the frame accounting (sleepers,
// exhaust glow, coal, samples for the averages), the warning states and the
// damage that ends the run. The engine runs these rules on its frame copy of
// the record at every hand-over; the display only draws what they decided.

#include <cstdint>

#include "damage.h"
#include "joint_geometry.h"
#include "locomotive_state.h"

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
    double rearHeadLimit = 0.0;     // mm from the window edge
    double frontHeadLimit = 10000.0;  // mm
    int floatFrames = 0;              // up to 200
    std::uint8_t valveBreakCount = 0;
    std::uint8_t sandSlipCount = 0;
    std::uint8_t shakeCounter = 0;
    Warning warningState = Warning::none;
    int warningFrames = 0;
    bool counterPressureMode = false;
    bool equalizeFlag = false;
    double coalRate = 0.0;   // kg/s
    double coalTotal = 0.0;  // kg since the start
    double timeFactor = 0.0;  // simulated s per frame
    Damage damageThisFrame = Damage::none;
    // The warning as the frame's texts show it, before its count-down.
    Warning shownWarning = Warning::none;
    int shownWarningFrames = 0;
};

// One sample per frame for each of the four moving averages.
struct AverageSamples {
    float heatingSurfaceLoad;  // kg/(m² h)
    float acceleration;        // m/s²
    float wheelPower;          // kW
    float waterPerKm;          // l/km
};

struct FramePreparation {
    double anchorX;  // px, the driving axle after the shake (U)
    double anchorY;  // px (S)
    JointPositions joints;
    bool accounted;  // the frame counted (not STOP, not held)
    AverageSamples samples;
};

class FrameRules {
public:
    FrameRules() = default;
    explicit FrameRules(const LocomotiveState& copy) { state_.previousDistance = copy.distance; }

    // The whole frame's decisions on the frame copy, in the order a drawn
    // frame takes them: the preparation up to the warning triggers, the
    // knob of a dragged control, the cylinder's relief valves, the damage
    // checks, the warning's count-down. Returns the frame's damage.
    Damage run(LocomotiveState& copy);

    const FrameState& state() const { return state_; }
    FrameState& state() { return state_; }
    const FramePreparation& preparation() const { return preparation_; }

private:
    void prepare(LocomotiveState& copy);
    void shake(LocomotiveState& copy, double& x0, double& y0);
    void valveHeads(LocomotiveState& copy, double anchorX, double rodX);
    void account(LocomotiveState& copy);
    void warningTriggers(const LocomotiveState& copy);
    void reportKnob(LocomotiveState& copy);
    void reliefValves(const LocomotiveState& copy);
    void damageChecks(const LocomotiveState& copy);
    void countDownWarning();
    void warn(Warning warning, int frames);
    void damage(Damage kind) { state_.damageThisFrame = kind; }

    FrameState state_;
    FramePreparation preparation_{};
};

}  // namespace zt40
