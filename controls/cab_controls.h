#pragma once
// The cab's controls, each defined once: how far every lever, wheel and
// setting goes, in what steps, where it rests, and what throwing a switch
// brings along. The keys, the mouse, the automatic control and the
// dialogs only say which control moves and how far; what the control
// then does is decided here.

#include <algorithm>
#include <cstdint>

#include "locomotive_state.h"
#include "sound_output.h"

namespace zt40::cab {

// The travel of a setting between its two ends. A move stops at the end
// it heads for, and a setting at or beyond that end does not move that
// way; one set beyond an end from elsewhere (a heavier train typed into
// the data dialog) moves back from where it stands.
template <class T>
struct Travel {
    T low, high;

    // Moves `value` by `by` (negative: down); true when it moved.
    template <class Field>
    constexpr bool move(Field& value, T by) const {
        if (by > 0 && value < high) {
            value = static_cast<Field>(std::min<T>(value + by, high));
        } else if (by < 0 && value > low) {
            value = static_cast<Field>(std::max<T>(value + by, low));
        } else {
            return false;
        }
        return true;
    }
    constexpr T clamp(T value) const { return std::clamp(value, low, high); }
};

// What a step of a control with a detent did.
enum class Step {
    none,    // it stood at its end, or the control is not worked by hand now
    moved,
    detent,  // it came to rest in its detent; keys and buttons hold it there until let go
};

// The regulator lever (`pilotValve`), steps of the lever: shut at 0, fully
// open at 115. Its first 30 steps open the pilot valve alone; the main
// valve (`regulator`) follows the lever 30 steps behind, which is also
// where the mouse feels the pressure point.
inline constexpr Travel<int> regulatorLever{0, 115};
inline constexpr int pilotValveSteps = 30;

// The reversing wheel (`reverser`), half-percent steps of cut-off,
// negative in forward gear: 80 % either way. A key moves it a notch of
// two steps, and mid gear is a detent for the keys.
inline constexpr Travel<int> reverser{-160, 160};
inline constexpr int reverserNotch = 2;

// The gradient set by hand (`gradient`), per mille; the level is a detent.
inline constexpr Travel<int> gradient{-100, 100};

// The hand wheels and the firing, percent open.
inline constexpr Travel<int> blowerValve{0, 100};
inline constexpr Travel<int> throttleValve{0, 100};  // counter-pressure brake
inline constexpr Travel<int> waterInjection{0, 100};  // into the cylinders
inline constexpr Travel<int> firing{0, 100};          // `fireSetpoint`
// The injector's feed (`injectorRate`), l/min.
inline constexpr Travel<int> injector{0, 250};

// The train behind the engine, coupled or uncoupled 10 t at a time.
inline constexpr Travel<int> trainWeight{0, 3000};  // t
inline constexpr int trainWeightStep = 10;          // t

// The tanks, filled 10 l at a time.
inline constexpr double tankCapacity = 12000.0;  // l
inline constexpr double waterFillStep = 10.0;    // l

// The cylinder walls, warmed or cooled 50 K at a time between the air's
// temperature and 500 °C.
inline constexpr double hottestCylinderWall = 773.0;  // K
inline constexpr double cylinderWallStep = 50.0;      // K

// The train-brake valve handle (`brakeCommand`) travels over 0..29 and
// rests in four positions. Each position acts over a zone of the travel:
// below 5 it releases, up to 14 it holds the brake where it is, up to 24
// it applies to the service level, from 25 on to full braking.
namespace brakeValve {
inline constexpr Travel<int> handle{0, 29};
enum class Zone { release, hold, apply, full };
inline constexpr std::int8_t releasePosition = 0, holdPosition = 9, applyPosition = 19, fullPosition = 29;
// The brake (`brake`) a position builds up: service braking stops at
// 100, full braking at 130.
inline constexpr int appliedBrake = 100;
inline constexpr int fullBrake = 130;

constexpr Zone zoneOf(int command) {
    if (command < 5) return Zone::release;
    if (command < 15) return Zone::hold;
    if (command < 25) return Zone::apply;
    return Zone::full;
}
constexpr std::int8_t positionOf(Zone zone) {
    switch (zone) {
        case Zone::release: return releasePosition;
        case Zone::hold: return holdPosition;
        case Zone::apply: return applyPosition;
        default: return fullPosition;
    }
}
// Let go between positions, the handle settles in its zone's position.
constexpr std::int8_t settled(int command) { return positionOf(zoneOf(command)); }
// One position further on or off from the zone the handle is in.
constexpr std::int8_t notchOn(int command) {
    const Zone z = zoneOf(command);
    return positionOf(z == Zone::release ? Zone::hold : z == Zone::hold ? Zone::apply : Zone::full);
}
constexpr std::int8_t notchOff(int command) {
    const Zone z = zoneOf(command);
    return positionOf(z == Zone::full ? Zone::apply : z == Zone::apply ? Zone::hold : Zone::release);
}
}  // namespace brakeValve

// Coupling, filling the tanks and setting the cylinder walls by the
// buttons want the engine at rest. The keys and the button bar ask
// whether the train stands, the mouse whether the wheels stand.
bool trainStands(const LocomotiveState& state);
bool wheelsStand(const LocomotiveState& state);
// The gradient is set by hand only while the track function is off.
bool gradientByHand(const LocomotiveState& state);

// The levers and wheels; each returns whether the control moved. A
// positive `by` opens, applies, raises or fills.
bool moveRegulator(LocomotiveState& state, int by);
void shutRegulator(LocomotiveState& state);
// A key's notch of the reversing wheel, +1 towards backward gear; mid gear is its detent.
Step notchReverser(LocomotiveState& state, int direction);
// The wheel turned by `by` half-percent steps, + towards backward gear.
bool turnReverser(LocomotiveState& state, int by);
Step stepGradient(LocomotiveState& state, int by);
bool moveBrakeHandle(LocomotiveState& state, int by);
// The brake handle one position on (+1) or off (-1).
void notchBrake(LocomotiveState& state, int direction);
void settleBrakeHandle(LocomotiveState& state);
bool turnBlower(LocomotiveState& state, int by);
bool turnThrottle(LocomotiveState& state, int by);
bool turnWaterInjection(LocomotiveState& state, int by);
bool changeFiring(LocomotiveState& state, int by);
// The injector by hand; it does not move while its automatic works it.
bool changeInjector(LocomotiveState& state, int by);
// `by` steps of 10 t, + coupling.
bool changeTrainWeight(LocomotiveState& state, int by);
bool fillTank(LocomotiveState& state);
// The working spaces start again from the cylinder walls' temperature.
void restartWorkingSpaces(LocomotiveState& state);
bool warmCylinders(LocomotiveState& state);
bool coolCylinders(LocomotiveState& state);

// The switches.
enum class Switch { drainCocks, sanding, autoSanding, blastPipe, injectorAutomatic, autoFiring, trackFunction };
// Throws a switch with what it brings along: automatic sanding switched
// off stops the sand, hand firing carries on where the automatic left
// the fire, and the track function stays off while its line could not
// be made. True when it was thrown.
bool flip(LocomotiveState& state, Switch which);
// Sound on or off, the engine loop with it.
void switchSoundOnOff(LocomotiveState& state, SoundOutput& sound);
// Text hidden or shown, beside the bar columns, the indicator diagram
// or the recorder's strip, in turn.
void cycleDisplay(LocomotiveState& state);
// The other cylinder side's indicator diagram, drawn afresh.
void switchIndicatorSide(LocomotiveState& state);
// One speed step faster (+1) or slower (-1), with the engine sound it
// brings; false at the end of the table.
bool changeSimSpeed(LocomotiveState& state, int direction, bool& commandChanged, SoundOutput& sound);

}  // namespace zt40::cab
