#pragma once
// Valve gear and the two double-acting cylinders with quartered cranks:
// valve events from the reverser, the steam chest, the working spaces'
// admission, expansion, exhaust and compression, the piston force at the
// wheel rim, drain cocks and relief valves, the exhaust passage with the
// blast pipe, the cylinder metal and the steam chest pyrometer.

#include <cstdint>

#include "gas_space.h"
#include "locomotive_state.h"

namespace zt40 {

namespace cylinder {
inline constexpr double crankRadius = 0.33;      // m
inline constexpr double rodLength = 3.25;        // m
inline constexpr double stroke = 0.66;           // m
inline constexpr double pistonAreaA = 0.381;     // m²
inline constexpr double pistonAreaB = 0.377;     // m²
inline constexpr double clearanceVolume = 0.015;  // m³ per working space
inline constexpr double chestVolume = 0.1;        // m³, as the exhaust space
}  // namespace cylinder

// Valve timing for the present reverser setting, fixed for one exchange.
struct ValveEvents {
    double lead;            // rad
    double exhaustEnd;      // rad, start of compression
    double expansionEnd;    // rad, release
    bool compressorMode;    // reverser laid against the turning wheels
};

ValveEvents computeValveEvents(const SimulationBlock& block);

// What a working space's port stands open to in the present sub-step.
enum class PortOpen : std::int8_t {
    shut,        // expansion or compression
    steamChest,  // admission
    exhaust,     // release and exhaust
    bypass,      // idle valves: both ends open to the exhaust passage
};

struct CylinderSide {
    CylinderSpace* spaceA;     // shrinks as the piston travels
    CylinderSpace* spaceB;     // grows as the piston travels
    double crankAngle;         // rad, [0, 2π)
    double rodSine;            // of the rod's angle to the line of stroke
    double leverArm;           // mm
    double rimLeverage;        // force at the rim per piston force, before friction
    double pistonTravel;       // m
    double effectivePortArea;  // m²
    double cutOffAngle;        // rad
    double force;              // N at the wheel rim, signed
    PortOpen portA = PortOpen::shut;  // as the last decided sub-step left them
    PortOpen portB = PortOpen::shut;
};

// What the working spaces of a side exchange steam with in one sub-step.
struct CylinderSurroundings {
    GasSpace& steamChest;
    GasSpace& exhaustSpace;
    GasSpace& atmosphere;
    double& wallTemperature;  // K, cylinderWallTemp
    double dt;                // s
    bool resetSpaces;
    bool compressorMode;
    double steamTaken = 0.0;  // kg the side now running has taken from the steam chest, added by its admissions
};

// A side at rest at `crankAngle`, its spaces at the wall temperature.
void buildSide(CylinderSide& side, double crankAngle, double wallTemperature);

// Crank geometry and working-space volumes at `crankAngle`.
void placeCrank(CylinderSide& side, double crankAngle);
// The same with the crank angle's sine and cosine already known.
void placeCrank(CylinderSide& side, double crankAngle, double crankSine, double crankCosine);

// One sub-step of the side's steam process; sets and returns `force`.
double runSide(CylinderSide& side, const SimulationBlock& block, const ValveEvents& events,
               CylinderSurroundings& around);

// Drain cocks and relief valves after a side's force.
void ventSide1(SimulationBlock& block, GasSpace& atmosphere, double drainArea, double dt);
void ventSide2(SimulationBlock& block, CylinderSide& side, GasSpace& atmosphere, double drainArea, double dt);

// Steam chest: fed from the superheater, leaking, by-passing while the
// valves are idle, and emptied by the counter-pressure throttle valve.
void feedSteamChest(SimulationBlock& block, GasSpace& superheater, GasSpace& atmosphere, double drainArea,
                    bool compressorMode, double dt);

// Blast pipe, exhaust leak and heat, the cylinder metal cooling in the
// air stream, and the water draining from the spaces.
void exhaustAndCool(SimulationBlock& block, GasSpace& superheater, GasSpace& atmosphere, CylinderSide& side2,
                    bool compressorMode, double dt);

void lagPyrometer(SimulationBlock& block, double dt);

// Brings an angle into [0, 2π) by adding or subtracting 2π once.
double wrapOnce(double angle);

}  // namespace zt40
