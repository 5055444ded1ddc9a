#pragma once
// The one record of the whole state of locomotive and train, split by who
// owns a field and which way it travels. There is one main copy, owned by
// the main thread; the simulation thread works on a private copy of the
// simulation block, each frame on a copy of the whole record.
//
//   DriverControls  the driver's controls and switches that never reach the model
//   OperatingState  what the main tick keeps: sand, water, one-shots, track list
//   ViewState       the window: size and scale, mouse, what is shown, dialogs
//   ModelInputs     set by the main thread, read by the model
//   SharedValues    written by both sides, and the one-shot request
//   ModelResults    computed by the model
//
// The fields keep one name each, reached through the whole record
// (`state.reverser`). Which field of the simulation block travels which
// way is listed once, in state_flow.h. The record is plain data, so each
// part and the whole record copy in one piece.

#include <cstdint>
#include <type_traits>

#include "gas_space.h"

namespace zt40 {

struct TrackPoint;  // node of the track profile list

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

// What the steam did in the cylinders over the last whole turn of the
// driving wheels, for one cylinder side or for the engine.
struct IndicatedFigures {
    double work;                   // J per revolution, the area of the loops: ∮p dV of the working spaces
    double meanEffectivePressure;  // Pa, the work over the volume the piston sweeps in a revolution
    double power;                  // W, averaged over the turn
    double steamRate;              // kg/s taken from the steam chest, averaged over the turn
    double steamPerKWh;            // kg of steam per indicated kWh; 0 unless work and steam are positive
};

// The indicated figures of both sides and the engine, with the power at the
// wheel rim over the same turn. Counter-pressure braking shows as negative
// work. All zero while the wheels stand and until they have turned once.
struct EngineIndication {
    IndicatedFigures side1;
    IndicatedFigures side2;
    IndicatedFigures engine;  // both sides; its pressure is the mean of theirs
    double rimPower;          // W at the rim: the cylinders' force times the wheel speed
    double turnTime;          // s the turn took; 0 while there are no figures
};

// Where the boiler's steam came from and where it went, averaged over the
// last exchange. Steam made is the water the boiler evaporated: by the
// fire, as the pressure falls, from the heat of the boiler body, less what
// the boiler limit throws back.
struct BoilerBalance {
    double steamMade;         // kg/s
    double steamUsed;         // kg/s, the four users below together
    double regulatorSteam;    // kg/s through the regulator towards the cylinders
    double blowerSteam;       // kg/s through the auxiliary blower
    double injectorSteam;     // kg/s the injector's cold feed condenses
    double safetyValveSteam;  // kg/s blown off
    double waterTrend;        // kg/s the boiler water gains, negative while it falls
};

// A working space's port opening with steam behind it: to the exhaust
// passage (the blast pipe's beat), or, while the cylinders work as
// compressors, into the steam chest (the counter-pressure throttle's puff).
struct ExhaustBeat {
    double time;       // s of simulated time into the batch
    double steam;      // kg above the pressure of what the port opens to
    double cutOff;     // fraction of the stroke, 0 .. 0.8
    std::int8_t side;  // cylinder side, 1 or 2
    bool intoChest;    // delivered into the steam chest, not exhausted
};

inline constexpr int exhaustBeatCapacity = 32;

// The beats of the model's last batch of sub-steps, in their order.
struct ExhaustBeats {
    std::uint32_t batch;  // counts the batches, so that each batch's beats are taken once
    double span;          // s of simulated time the batch covered
    std::int32_t count;   // beats held; a batch's beats beyond the capacity are dropped
    ExhaustBeat beats[exhaustBeatCapacity];
};

// ---------------------------------------------------------------------------
// The main thread's parts: the model never sees them; the frame's copy
// receives them at every hand-over.

// The driver's controls and switches that never reach the model.
struct DriverControls {
    std::int8_t brakeCommand;       // 0 release, 9 hold, 19 apply, 29 full
    std::int8_t maxGradient;        // per mille, largest gradient the track generator plans
    std::int32_t targetWaterLevel;  // mm on the depth scale, held by the automatic injector
    bool injectorAutomatic;
    bool autoSanding;
    bool regulatorLighter;
    bool regulatorHeavier;
    bool sandingOn;  // the sanding valve is open
    bool soundOn;
    bool trackAutomatic;  // the gradient follows the track profile
    bool whistleBlowing;  // the whistle's key is held
};

// What the main tick keeps from tick to tick: sand, water per kilometre,
// one-shot events between the tick and the frame, flags and the track list.
struct OperatingState {
    double sandSeconds;  // s of sanding left in the sand box
    double waterPerKm;   // l/km of steam drawn
    bool sandRunning;    // sand flows, or its adhesion bonus still decays
    bool sandTooShort;   // one-shot for the frame
    bool sandIntoSlip;   // one-shot for the frame
    bool valveKnock;     // one-shot from the frame: a piston valve struck its holder
    bool valveReleaseRequest;  // one-shot for the frame: the valves fall free
    bool soundRestart;   // the engine sound's beats start afresh at the next tick
    bool inputHeld;      // a key or a mouse button is held down
    bool trackListFailed;
    bool stateDefaulted;  // the configuration's defaults are in force
    TrackPoint* trackHead;
    TrackPoint* trackCurrent;  // the first point ahead of the train
    TrackPoint* trackTail;     // the empty point at the end
};

// The window: its size and scale, the mouse, what is shown, the pixels the
// frame found for the hit tests, focus and dialogs.
struct ViewState {
    // The display divides design millimetres by the scale.
    double displayScale;        // design mm per pixel, 0 while the window is too small
    std::int32_t clientWidth;   // px
    std::int32_t clientHeight;  // px
    std::int32_t mouseX;        // px of the last mouse message
    std::int32_t mouseY;        // px
    std::int8_t hoverTarget;    // control or display area under the mouse, 0 none
    std::int8_t dragTarget;     // 100 reverser wheel, 101 regulator, 102 brake handle, 0 none
    std::int8_t handleOf;       // the `dragTarget` whose knob `handleX`, `handleY` show, 0 none (frame)
    std::int32_t handleX;       // px, knob of the dragged handle (frame)
    std::int32_t handleY;       // px
    std::int32_t pistonX;       // px, piston in the cylinder cut-away (frame)
    std::int32_t valveHeadRearX;   // px (frame)
    std::int32_t valveHeadFrontX;  // px (frame)
    bool hoverHintVisible;  // the pointer has rested on an area for 500 ms
    bool trackTableShown;
    bool indicatorShown;
    bool stripShown;  // the speed recorder's strip in the right-hand panel
    bool textHidden;
    bool windowFocused;
    bool mainWindow;      // the main window is up
    bool dataDialogOpen;  // the main window opens the data dialog only while it is closed
    bool dataDialogRequest;
    bool autoControlDialogRequest;
};

// ---------------------------------------------------------------------------
// The simulation block, the only part the simulation thread sees, split by
// the direction its fields travel at the exchange.

// What the main thread sets and the model reads.
struct ModelInputs {
    double expansionEnd;      // % of half a revolution
    double blastPipeArea;     // m²
    double stepInterval;      // s between two exchanges
    double boilerPower;       // W of fire heat at 100 % firing rate
    double distance;          // m travelled
    double frictionFactor;    // rail adhesion coefficient
    double sandBonus;         // added to the adhesion coefficient
    double portArea;          // m², steam chest to cylinder
    double superheaterPower;  // W
    double exhaustEnd;        // % of half a revolution
    double valveLead;         // % of half a revolution
    std::int8_t counterPressureThrottle;  // steps
    std::int8_t fireSetpoint;             // %
    std::int8_t blowerSetting;            // steps
    std::int8_t waterQuality;             // %
    std::int8_t pilotValve;               // steps of the regulator lever
    std::int8_t regulator;                // mm of main valve opening
    std::int8_t simSpeedCode;             // -4 stop, -3..-1 slow, 0 real time, 1..3 fast
    std::int8_t gradient;                 // per mille
    std::int8_t cylinderWaterInjection;   // steps
    std::uint8_t brake;                   // %
    std::uint8_t injectorRate;            // l/min
    std::int32_t reverser;                // half-percent steps of cut-off, negative forward
    std::int32_t ambientTemp;             // K
    std::int32_t trainWeight;             // t of trailing load
    bool reverserMoved;  // the frame saw the reverser move
    bool autoFiring;
    bool blastPipeClosed;
    bool valvesEngaged;  // the piston valves are held in working position (frame)
    bool drainCocksOpen;
    bool indicatorSide;  // false samples cylinder side 1, true side 2
    bool simHold;        // the sub-step loop leaves at once (frame)
    bool fineTimer;      // exchanges run at the short period
};

// What both sides write: a main-thread change wins at the next exchange,
// otherwise the model's value comes back; and the one-shot request.
struct SharedValues {
    double trainSpeed;        // m/s, positive forward
    double cylinderWallTemp;  // K of the cylinder metal
    double tankWater;         // l in the tanks
    double simTime;           // s of simulated time
    bool resetSpaces;  // one-shot: near-empty working spaces take the wall temperature
};

// What the model computes and the main thread reads.
struct ModelResults {
    double counterPressureThrottleFlow;  // kg/s
    double blastPipeFlow;                // kg/s of exhaust steam
    double blastPipeAuxFlow;             // kg/s of water ejected at the blast pipe
    double acceleration;                 // m/s²
    double wheelSpeed;                   // m/s at the driving wheel rim, signed
    double wheelPower;                   // kW at the rim
    double boilerSteamDraw;              // kg/s leaving the boiler
    double blowerSteamFlow;              // kg/s through the auxiliary blower
    double gaugeGlassLevel;              // mm on the depth scale
    double wheelAngle;                   // rad, 0..2π
    double carryingWheelAngle;           // rad
    double steamChestPyrometer;          // K, lagged
    double primingRate;                  // l/s of water carried with the steam
    double autoFiringShortfall;          // W withheld by the automatic firing
    double trueWaterDepth;               // mm on the depth scale
    std::int8_t fireRate;                // %
    std::int8_t fireShortfall;           // % points
    std::int8_t peakCylinderPressure;    // bar over atmosphere
    std::int32_t indicatorIndex;         // last indicator sample written, 0..699
    std::int32_t indicatorCount;         // sample index when the crank last wrapped
    bool wheelSlip;
    bool reliefB1;
    bool reliefSide2;
    bool safetyValveOpen;
    bool reliefA1;
    bool waterSloshing;
    bool cylinderCoverBurst;
    // The ring of indicator points, last written at `indicatorIndex`.
    IndicatorSample indicatorSamples[indicatorRingSize];
    ExhaustBeats exhaustBeats;
    GasSpace steamChest;
    GasSpace exhaustSpace;
    CylinderSpace cylinder1SpaceB;
    CylinderSpace cylinder1SpaceA;
    GasSpace boilerSteam;
    EngineIndication indication;
    BoilerBalance boilerBalance;
};

struct SimulationBlock : ModelInputs, SharedValues, ModelResults {};

struct LocomotiveState : DriverControls, OperatingState, ViewState, SimulationBlock {};

static_assert(sizeof(bool) == 1, "flags are 8-bit");
static_assert(std::is_trivially_copyable_v<SimulationBlock>);
static_assert(std::is_trivially_copyable_v<LocomotiveState>);
// Every field of the simulation block belongs to one of its three parts.
static_assert(sizeof(SimulationBlock) == sizeof(ModelInputs) + sizeof(SharedValues) + sizeof(ModelResults));

// Puts the five steam spaces of a fresh (all zero) block into their start
// state: steam chest and exhaust space empty but for 0.0001 kg of steam,
// the cylinder-1 working spaces all zero, the boiler marked initialised.
void constructSteamSpaces(ModelResults& results);

}  // namespace zt40
