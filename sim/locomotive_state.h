#pragma once
// The one record of the whole state of locomotive and train: machine
// parameters, the driver's switches, the window's input state and the track
// list. There is one main copy, owned by the main thread; the simulation
// thread works on a private copy of the simulation block, the render thread
// on a private copy of the whole record. Which field travels which way
// between the copies is listed once, in state_flow.h.
//
// The record is plain data: the header block is followed by the simulation
// block, so each block and the whole record copy in one piece.

#include <cstdint>
#include <type_traits>

#include "gas_space.h"

namespace zt40 {

struct TrackPoint;  // node of the track profile list

// A window of the platform, opaque to everything but the platform layer.
using WindowHandle = std::uintptr_t;

inline constexpr int indicatorRingSize = 700;

// One point of the indicator diagrams, taken from the sampled cylinder side.
struct IndicatorSample {
    double pistonTravel;  // m from the start of the stroke, as the cylinder side has it
    double pressureB;     // Pa over atmosphere in working space B, which grows with the travel
    double pressureA;     // Pa over atmosphere in working space A
    double crankAngle;    // rad, [0, 2π)
    // N at the rim, taken along the wheels' running direction while the
    // steam drives and against it while the cylinders work as compressors,
    // so that either work shows upward. While the wheels stand the place in
    // the ring keeps the force it had.
    double rimForce;
};

// Main-thread fields; the render copy receives them at every render exchange.
struct HeaderBlock {
    WindowHandle mainWindow;
    WindowHandle dataDialogOpen;  // 0 while the data dialog is closed
    double sandSeconds;           // s of sanding left in the sand box
    double waterPerKm;            // l/km of steam drawn
    std::int8_t brakeCommand;     // 0 release, 9 hold, 19 apply, 29 full
    std::int8_t maxGradient;      // per mille, largest gradient the track generator plans
    std::int8_t hoverTarget;      // control or display area under the mouse, 0 none
    std::int8_t dragTarget;       // 100 reverser wheel, 101 regulator, 102 brake handle, 0 none
    std::int32_t handleX;         // px, knob of the dragged handle (render thread)
    std::int32_t handleY;         // px
    std::int8_t handleOf;         // the `dragTarget` whose knob `handleX`, `handleY` show, 0 none (render thread)
    std::int32_t pistonX;         // px, piston in the cylinder cut-away (render thread)
    std::int32_t valveHeadRearX;  // px (render thread)
    std::int32_t mouseX;          // px of the last mouse message
    std::int32_t mouseY;          // px
    std::int32_t valveHeadFrontX;   // px (render thread)
    std::int32_t targetWaterLevel;  // mm on the depth scale, held by the automatic injector
    // The window: the display divides design millimetres by the scale.
    double displayScale;            // design mm per pixel, 0 while the window is too small
    std::int32_t clientWidth;       // px
    std::int32_t clientHeight;      // px
    bool injectorAutomatic;
    bool autoSanding;
    bool autoControlDialogRequest;
    bool dataDialogRequest;
    bool trackTableShown;
    bool trackListFailed;
    bool stateDefaulted;
    bool windowFocused;
    bool indicatorShown;
    bool hoverHintVisible;
    bool regulatorLighter;
    bool regulatorHeavier;
    bool sandingOn;
    bool sandTooShort;  // one-shot for the render thread
    bool sandRunning;
    bool sandIntoSlip;  // one-shot for the render thread
    bool textHidden;
    bool soundOn;
    bool soundRestart;
    bool valveKnock;  // one-shot from the render thread
    bool valveReleaseRequest;  // one-shot for the render thread: the valves fall free
    bool trackAutomatic;
    bool inputHeld;
    TrackPoint* trackHead;
    TrackPoint* trackCurrent;
    TrackPoint* trackTail;
};

// The model's part of the record, the only part the simulation thread sees.
struct SimulationBlock {
    double counterPressureThrottleFlow;  // kg/s
    double blastPipeFlow;                // kg/s of exhaust steam
    double blastPipeAuxFlow;             // kg/s of water ejected at the blast pipe
    double expansionEnd;                 // % of half a revolution
    double acceleration;                 // m/s²
    double blastPipeArea;                // m²
    double wheelSpeed;                   // m/s at the driving wheel rim, signed
    double trainSpeed;                   // m/s, positive forward
    double stepInterval;                 // s between two exchanges
    double boilerPower;                  // W of fire heat at 100 % firing rate
    double wheelPower;                   // kW at the rim
    double boilerSteamDraw;              // kg/s leaving the boiler
    double tankWater;                    // l in the tanks
    double blowerSteamFlow;              // kg/s through the auxiliary blower
    double distance;                     // m travelled
    double frictionFactor;               // rail adhesion coefficient
    double sandBonus;                    // added to the adhesion coefficient
    double portArea;                     // m², steam chest to cylinder
    double gaugeGlassLevel;              // mm on the depth scale
    double wheelAngle;                   // rad, 0..2π
    double carryingWheelAngle;           // rad
    double steamChestPyrometer;          // K, lagged
    double cylinderWallTemp;             // K of the cylinder metal
    double superheaterPower;             // W
    double primingRate;                  // l/s of water carried with the steam
    double exhaustEnd;                   // % of half a revolution
    double autoFiringShortfall;          // W withheld by the automatic firing
    double valveLead;                    // % of half a revolution
    double trueWaterDepth;               // mm on the depth scale
    double simTime;                      // s of simulated time
    std::int8_t counterPressureThrottle;  // steps
    std::int8_t fireSetpoint;             // %
    std::int8_t blowerSetting;            // steps
    std::int8_t fireRate;                 // %
    std::int8_t fireShortfall;            // % points
    std::int8_t waterQuality;             // %
    std::int8_t pilotValve;               // steps of the regulator lever
    std::int8_t regulator;                // mm of main valve opening
    std::int8_t simSpeedCode;             // -4 stop, -3..-1 slow, 0 real time, 1..3 fast
    std::int8_t gradient;                 // per mille
    std::int8_t cylinderWaterInjection;   // steps
    std::uint8_t brake;                   // %
    std::uint8_t injectorRate;            // l/min
    std::int8_t peakCylinderPressure;     // bar over atmosphere
    std::int32_t reverser;                // half-percent steps of cut-off, negative forward
    std::int32_t indicatorIndex;          // last indicator sample written, 0..699
    std::int32_t indicatorCount;          // sample index when the crank last wrapped
    std::int32_t ambientTemp;             // K
    std::int32_t trainWeight;             // t of trailing load
    bool autoFiring;
    bool blastPipeClosed;
    bool valvesEngaged;
    bool drainCocksOpen;
    bool indicatorSide;  // false samples cylinder side 1, true side 2
    bool resetSpaces;    // one-shot: near-empty working spaces take the wall temperature
    bool wheelSlip;
    bool reverserMoved;
    bool simHold;    // the sub-step loop leaves at once
    bool fineTimer;  // exchanges run at the short period
    bool reliefB1;
    bool reliefSide2;
    bool safetyValveOpen;
    bool reliefA1;
    bool waterSloshing;
    bool cylinderCoverBurst;
    // The ring of indicator points, last written at `indicatorIndex`.
    IndicatorSample indicatorSamples[indicatorRingSize];
    GasSpace steamChest;
    GasSpace exhaustSpace;
    CylinderSpace cylinder1SpaceB;
    CylinderSpace cylinder1SpaceA;
    GasSpace boilerSteam;
};

struct LocomotiveState : HeaderBlock, SimulationBlock {};

static_assert(sizeof(bool) == 1, "flags are 8-bit");
static_assert(std::is_trivially_copyable_v<SimulationBlock>);
static_assert(std::is_trivially_copyable_v<LocomotiveState>);

// Puts the five steam spaces of a fresh (all zero) block into their start
// state: steam chest and exhaust space empty but for 0.0001 kg of steam,
// the cylinder-1 working spaces all zero, the boiler marked initialised.
void constructSteamSpaces(SimulationBlock& block);

}  // namespace zt40
