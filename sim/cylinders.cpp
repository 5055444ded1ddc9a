#include "cylinders.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace zt40 {

using namespace cylinder;
using std::numbers::pi;

namespace {

constexpr double reliefLift = 1600000.0;   // Pa, relief valves open
constexpr double reliefSeat1 = 1000000.0;  // Pa, side-1 flags drop
constexpr double reliefArea = 0.0005;      // m²
constexpr double coverBurstPressure = 2000000.0;  // Pa
constexpr double waterFilledVolume = 1e-5;        // m³

// Steam from `source` into the space through `area`; force while above 1 bar.
// `moved` receives the steam that came in (kg, negative when it went back).
double admit(CylinderSpace& space, GasSpace& source, double area, CylinderSurroundings& around, double& moved) {
    if (around.compressorMode) polytropicStep(space);
    moved = flow(source, space, area, around.dt, true);
    space.pressure = pressureOf(space, space.steamMass);
    if (moved > 0.0) mixTemperature(space, source.temperature, moved);
    else mixTemperature(source, space.temperature, -moved);
    wallHeatExchange(space, around.wallTemperature, around.dt, around.resetSpaces, around.compressorMode);
    return space.pressure > 100000.0 ? space.pistonArea * space.pressure : 0.0;
}

// A closed space: expansion or compression.
double close(CylinderSpace& space, CylinderSurroundings& around) {
    if (around.compressorMode) polytropicStep(space);
    else space.pressure = pressureOf(space, space.steamMass);
    wallHeatExchange(space, around.wallTemperature, around.dt, around.resetSpaces, around.compressorMode);
    return space.pistonArea * space.pressure;
}

// The space open to the exhaust passage through the full port.
double exhaust(CylinderSpace& space, double portArea, CylinderSurroundings& around) {
    if (around.compressorMode) polytropicStep(space);
    const double moved = flowOut(space, around.exhaustSpace, portArea, around.dt, false);
    wallHeatExchange(space, around.wallTemperature, around.dt, around.resetSpaces, around.compressorMode);
    if (moved > 0.0) mixTemperature(around.exhaustSpace, space.temperature, moved);
    else mixTemperature(space, around.exhaustSpace.temperature, -moved);
    return space.pistonArea * space.pressure;
}

// The space that takes steam in this half turn: admission until cut-off,
// then expansion, and after release expansion and exhaust in one sub-step.
double workingStroke(CylinderSpace& space, PortOpen& port, bool admitting, bool released, double sign,
                     const CylinderSide& side, double portArea, CylinderSurroundings& around) {
    port = admitting ? PortOpen::steamChest : released ? PortOpen::exhaust : PortOpen::shut;
    if (admitting) {
        double taken = 0.0;  // kg
        const double force = admit(space, around.steamChest, side.effectivePortArea, around, taken);
        around.steamTaken += taken;
        return sign * force;
    }
    const double expansion = close(space, around);
    if (!released) return sign * expansion;
    return sign * expansion - sign * exhaust(space, portArea, around);
}

// The space on the other side of the piston: exhaust, then compression.
double returnStroke(CylinderSpace& space, PortOpen& port, bool compressing, double portArea,
                    CylinderSurroundings& around) {
    port = compressing ? PortOpen::shut : PortOpen::exhaust;
    return compressing ? close(space, around) : exhaust(space, portArea, around);
}

// Idle valves: both ends open to the exhaust passage.
double idleForce(CylinderSide& side, double portArea, CylinderSurroundings& around) {
    side.portA = side.portB = PortOpen::bypass;
    double moved = 0.0;  // kg between the exhaust passage and a space: no steam the side uses
    const double b = admit(*side.spaceB, around.exhaustSpace, portArea, around, moved);
    const double a = admit(*side.spaceA, around.exhaustSpace, portArea, around, moved);
    return side.crankAngle <= pi ? -b + a : b - a;
}

// Piston force (N) in back gear (reverser >= 1), or nothing at phase π.
bool backGearForce(CylinderSide& side, const ValveEvents& ev, double portArea, CylinderSurroundings& around,
                   double& force) {
    const double q = wrapOnce(side.crankAngle + ev.lead);
    const double phi = side.cutOffAngle;
    if (pi < q && q < 2.0 * pi) {
        force = workingStroke(*side.spaceA, side.portA, q < phi + pi, q > ev.expansionEnd + pi, -1.0, side, portArea,
                              around);
        force += returnStroke(*side.spaceB, side.portB, q >= ev.exhaustEnd + pi, portArea, around);
        return true;
    }
    if (q < pi || q >= 2.0 * pi) {
        force = workingStroke(*side.spaceB, side.portB, q <= phi, q > ev.expansionEnd, -1.0, side, portArea, around);
        force += returnStroke(*side.spaceA, side.portA, q > ev.exhaustEnd, portArea, around);
        return true;
    }
    return false;
}

// Piston force (N) in fore gear and mid gear (reverser <= 0), mirrored.
bool foreGearForce(CylinderSide& side, const ValveEvents& ev, double portArea, CylinderSurroundings& around,
                   double& force) {
    const double q = wrapOnce(side.crankAngle - ev.lead);
    const double phi = side.cutOffAngle;
    if (q <= 0.0 || pi < q) {
        const bool expanding = 0.0 < q && q < 2.0 * pi - phi;
        force = workingStroke(*side.spaceB, side.portB, !expanding, q < 2.0 * pi - ev.expansionEnd, 1.0, side, portArea,
                              around);
        const bool exhausting = q >= 2.0 * pi - ev.exhaustEnd || q <= 0.0;
        force -= returnStroke(*side.spaceA, side.portA, !exhausting, portArea, around);
        return true;
    }
    if (q < pi) {
        force = workingStroke(*side.spaceA, side.portA, q > pi - phi, q < pi - ev.expansionEnd, 1.0, side, portArea,
                              around);
        force -= returnStroke(*side.spaceB, side.portB, q <= pi - ev.exhaustEnd, portArea, around);
        return true;
    }
    return false;
}

// Drain cock, and the relief valve above 16 bar; true when it lifted.
bool vent(CylinderSpace& space, GasSpace& atmosphere, double drainArea, double dt) {
    flowOut(space, atmosphere, drainArea, dt, true);
    if (space.pressure <= reliefLift) return false;
    flow(space, atmosphere, reliefArea, dt, true);
    return true;
}

bool bursts(const CylinderSpace& space) {
    return space.pressure > coverBurstPressure || space.volume < waterFilledVolume;
}

}  // namespace

double wrapOnce(double angle) {
    if (angle < 0.0) return angle + 2.0 * pi;
    if (angle >= 2.0 * pi) return angle - 2.0 * pi;
    return angle;
}

ValveEvents computeValveEvents(const SimulationBlock& block) {
    const int r = block.reverser;
    const double notch = std::abs(r);
    ValveEvents ev{};
    ev.lead = block.valveLead / 100.0 * pi;
    double exhaustEnd = 0.0, expansionEnd = 0.0;  // % of half a revolution
    if (r < -40 || r > 40) {
        exhaustEnd = notch * 0.16 + block.exhaustEnd - 25.0;
        expansionEnd = notch * 0.16 + block.expansionEnd - 25.0;
    } else {
        exhaustEnd = notch * (block.exhaustEnd - 69.2) / 39.0 + 50.0;
        expansionEnd = notch * (block.expansionEnd - 69.2) / 39.0 + 50.0;
    }
    ev.exhaustEnd = exhaustEnd / 100.0 * pi + ev.lead;
    ev.expansionEnd = expansionEnd / 100.0 * pi + ev.lead;
    ev.compressorMode =
        block.valvesEngaged && ((block.wheelSpeed > 0.0 && r >= 2) || (block.wheelSpeed < 0.0 && r <= -2));
    return ev;
}

void placeCrank(CylinderSide& side, double crankAngle) {
    const double wrapped = wrapOnce(crankAngle);  // rad
    placeCrank(side, wrapped, std::sin(wrapped), std::cos(wrapped));
}

void placeCrank(CylinderSide& side, double crankAngle, double crankSine, double crankCosine) {
    side.crankAngle = wrapOnce(crankAngle);
    // The rod's angle follows from the ratio of crank radius to rod length,
    // and sin(π - crank - rod) is the sine of the sum.
    side.rodSine = std::fabs(crankSine * (330.0 / 3250.0));
    const double rodCosine = std::sqrt(1.0 - side.rodSine * side.rodSine);
    side.leverArm = std::fabs(crankSine * rodCosine + crankCosine * side.rodSine) * 330.0;  // mm
    side.rimLeverage = rodCosine * side.leverArm * (1.0 / 700.0);
    side.pistonTravel = (1.0 - rodCosine) * rodLength + (1.0 - crankCosine) * crankRadius;
    side.spaceB->volume = side.pistonTravel * pistonAreaB + clearanceVolume - side.spaceB->waterMass * 0.001;
    side.spaceA->volume =
        (stroke - side.pistonTravel) * pistonAreaA + clearanceVolume - side.spaceA->waterMass * 0.001;
}

void buildSide(CylinderSide& side, double crankAngle, double wallTemperature) {
    side.spaceA->pistonArea = pistonAreaA;
    side.spaceB->pistonArea = pistonAreaB;
    placeCrank(side, crankAngle);
    for (CylinderSpace* space : {side.spaceA, side.spaceB}) {
        space->temperature = wallTemperature;
        normalise(*space);
    }
}

double runSide(CylinderSide& side, const SimulationBlock& block, const ValveEvents& events,
               CylinderSurroundings& around) {
    const int r = block.reverser;
    side.effectivePortArea = block.portArea;
    side.cutOffAngle = std::abs(r) * (pi / 200.0) + events.lead;

    // Steam force on the piston from the valve events of this crank position.
    double pistonForce = 0.0;  // N
    bool decided = true;
    if (!block.valvesEngaged) {
        pistonForce = idleForce(side, block.portArea, around);
    } else {
        // Short cut-offs throttle the port: full area from 25 %, none at mid gear.
        if (std::abs(r) <= 50) side.effectivePortArea = r * r * 0.0004 * block.portArea;
        decided = r >= 1 ? backGearForce(side, events, block.portArea, around, pistonForce)
                         : foreGearForce(side, events, block.portArea, around, pistonForce);
    }
    if (!decided) return side.force;  // exactly at phase π: keep the last force

    // Through connecting rod and crank to the rim, less the friction of the motion.
    const double friction = std::fabs(block.wheelSpeed) > 0.1 ? 0.97 : 0.9;
    side.force = side.rimLeverage * pistonForce * friction;
    return side.force;
}

void ventSide1(SimulationBlock& block, GasSpace& atmosphere, double drainArea, double dt) {
    struct Valve {
        CylinderSpace& space;
        bool& relief;
    };
    for (Valve v : {Valve{block.cylinder1SpaceA, block.reliefA1}, Valve{block.cylinder1SpaceB, block.reliefB1}}) {
        if (vent(v.space, atmosphere, drainArea, dt)) v.relief = true;
        else if (v.space.pressure < reliefSeat1) v.relief = false;
        if (bursts(v.space)) block.cylinderCoverBurst = true;
    }
}

void ventSide2(SimulationBlock& block, CylinderSide& side, GasSpace& atmosphere, double drainArea, double dt) {
    bool lifted = false;
    for (CylinderSpace* space : {side.spaceA, side.spaceB}) {
        lifted = vent(*space, atmosphere, drainArea, dt) || lifted;
        if (bursts(*space)) block.cylinderCoverBurst = true;
    }
    block.reliefSide2 = lifted;  // one flag, down once both are below 16 bar
}

void feedSteamChest(SimulationBlock& block, GasSpace& superheater, GasSpace& atmosphere, double drainArea,
                    bool compressorMode, double dt) {
    GasSpace& chest = block.steamChest;
    const double inflow = flow(superheater, chest, 0.01, dt, true);  // kg
    flow(chest, atmosphere, 2.0 * drainArea + 0.00005, dt, true);
    if (!block.valvesEngaged) flow(chest, block.exhaustSpace, 0.001, dt, false);

    // Counter-pressure throttle valve: the compressed steam escapes through the silencer.
    if (block.counterPressureThrottle >= 1) {
        const double area = block.counterPressureThrottle * 0.00002325;  // m²
        block.counterPressureThrottleFlow = flow(chest, atmosphere, area, dt, false) / dt;
    } else {
        block.counterPressureThrottleFlow = 0.0;
    }

    normalise(chest);
    normalise(superheater);
    if (inflow > 0.0) mixTemperature(chest, superheater.temperature, inflow);
    else mixTemperature(superheater, chest.temperature, -inflow);
    wallHeatExchange(chest, block.cylinderWallTemp, dt, block.resetSpaces, compressorMode);
}

namespace {

// The cylinder metal loses heat to the air stream of the running engine.
void coolCylinderWall(SimulationBlock& block, double dt) {
    const double v = std::fabs(block.trainSpeed);                               // m/s
    const double h = v < 5.0 ? (14.0 * v + 20.0) * 0.27778 : std::pow(v, 0.78) * 7.11111;  // W/(m² K)
    const double wall = block.cylinderWallTemp;  // K
    const double ambient = block.ambientTemp;    // K
    const double g = wall > ambient ? (wall - ambient) / wall : -1e-99;
    const double cooled = (wall * 3760000.0 - (wall - ambient) * h * 10.0 * dt - g * dt * 1000000.0) * (1.0 / (470.0 * 8000.0));
    block.cylinderWallTemp = std::max(cooled, ambient);
}

}  // namespace

void exhaustAndCool(SimulationBlock& block, GasSpace& superheater, GasSpace& atmosphere, CylinderSide& side2,
                    bool compressorMode, double dt) {
    GasSpace& exhaustSpace = block.exhaustSpace;

    // The blast pipe, half open when shut off for counter-pressure braking.
    // Water carried out with the exhaust is what the engine spits.
    if (block.fineTimer) {
        const double area = block.blastPipeClosed ? 0.5 * block.blastPipeArea : block.blastPipeArea;  // m²
        const double waterBefore = exhaustSpace.waterMass;  // kg
        block.blastPipeFlow = flow(exhaustSpace, atmosphere, area, dt, false) / dt;
        block.blastPipeAuxFlow = std::max(waterBefore - exhaustSpace.waterMass, 0.0) / dt;
    }
    flowOut(exhaustSpace, atmosphere, 0.0001, dt, true);
    wallHeatExchange(exhaustSpace, block.cylinderWallTemp, dt, block.resetSpaces, compressorMode);
    coolCylinderWall(block, dt);

    drainWater(exhaustSpace, dt);
    if (block.drainCocksOpen) {
        for (GasSpace* space : {&block.steamChest, static_cast<GasSpace*>(&block.cylinder1SpaceA),
                                static_cast<GasSpace*>(&block.cylinder1SpaceB), &superheater,
                                static_cast<GasSpace*>(side2.spaceA), static_cast<GasSpace*>(side2.spaceB)}) {
            drainWater(*space, dt);
        }
    }
}

void lagPyrometer(SimulationBlock& block, double dt) {
    const double chest = block.steamChest.temperature;  // K
    double& pyrometer = block.steamChestPyrometer;      // K
    if (chest < pyrometer) pyrometer = std::max(pyrometer - (pyrometer - chest) / pyrometer * dt * 15.0, chest);
    else if (chest > pyrometer) pyrometer = std::min(pyrometer + (chest - pyrometer) / chest * dt * 20.0, chest);
}

}  // namespace zt40
