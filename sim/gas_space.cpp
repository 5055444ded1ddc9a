#include "gas_space.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <optional>

#include "numeric.h"

namespace zt40 {

using namespace steam;

namespace {

// The saturation line as one straight piece per full bar of gauge pressure:
// T = slope * p + intercept with the whole p, so the pieces meet at every bar.
struct SaturationRow {
    double slope;      // K/Pa
    double intercept;  // K
};

constexpr SaturationRow saturationRows[] = {
    {0.0002059, 372.64},  {0.0001331, 379.92},  {0.0001008, 386.38},  {0.0000822, 391.96},
    {0.00007, 396.84},    {0.0000612, 401.24},  {0.0000546, 405.2},   {0.0000493, 408.91},
    {0.0000453, 412.11},  {0.0000417, 415.35},  {0.000039, 418.05},   {0.0000365, 420.8},
    {0.0000344, 423.32},  {0.0000324, 425.92},  {0.0000308, 428.16},  {0.0000294, 430.26},
    {0.000028, 432.5},    {0.0000268, 434.54},  {0.0000259, 436.16},  {0.00002435, 439.105},
};
constexpr int lastSaturationRow = 19;

// The lowest gauge pressure (Pa) whose quotient by the atmosphere rounds
// to at least `bar`: the row changes exactly where the whole bar of
// `gaugePressure / atmosphere` does, found by comparisons instead of a
// division on every look-up.
constexpr double firstPressureOfBar(int bar) {
    double pressure = bar * atmosphere;  // exact: whole numbers
    for (;;) {
        const double below = std::bit_cast<double>(std::bit_cast<std::uint64_t>(pressure) - 1);
        if (below / atmosphere < bar) return pressure;
        pressure = below;
    }
}

constexpr auto barThresholds = [] {
    std::array<double, lastSaturationRow + 2> thresholds{};
    thresholds[0] = -std::numeric_limits<double>::infinity();
    for (int bar = 1; bar <= lastSaturationRow; ++bar) thresholds[bar] = firstPressureOfBar(bar);
    thresholds[lastSaturationRow + 1] = std::numeric_limits<double>::infinity();
    return thresholds;
}();

// Bar of the row for a gauge pressure; below the atmosphere the first row
// serves. The product guesses the bar, the thresholds correct a guess one
// bar off, so the row is the one the whole bar of the quotient gives.
int saturationBar(double gaugePressure) {
    constexpr double perPascal = 1.0 / atmosphere;  // bar/Pa
    int bar = std::clamp(truncateTo<int>(gaugePressure * perPascal), 0, lastSaturationRow);
    if (gaugePressure < barThresholds[bar]) --bar;
    else if (bar < lastSaturationRow && gaugePressure >= barThresholds[bar + 1]) ++bar;
    return bar;
}

// The same bar when `guess` is likely right, as for a pressure that has
// just moved a little: two comparisons confirm it without waiting for the
// product and its conversion.
int saturationBarNear(double gaugePressure, int guess) {
    if (barThresholds[guess] <= gaugePressure && gaugePressure < barThresholds[guess + 1]) return guess;
    return saturationBar(gaugePressure);
}

// Saturation temperature (K) at a gauge pressure (Pa) whose row is `bar`.
double temperatureOnLine(double gaugePressure, int bar) {
    if (gaugePressure < 0.0) return 372.64 + 0.0003658 * gaugePressure;
    const SaturationRow& row = saturationRows[bar];
    return row.slope * gaugePressure + row.intercept;
}

// The nozzle law takes the flow function r^(2/kappa) - r^((kappa+1)/kappa)
// = r^(20/13) - r^(23/13) (kappa 1.3) under a square root. On the unchoked
// range 0.547 <= r <= 1 that root is sqrt(x) h(x) with x = 1 - r (exact
// there) and h a near-minimax polynomial of degree 17: h within 2 ulp, the
// product within 3 ulp of the exact fractions' root, also near r = 1 where
// two powers would cancel. The root of x runs beside the polynomial, whose
// higher terms are summed in pairs, fours and eights so that their chains
// run side by side with the two leading terms, added last.
double flowRootOverRootOfX(double x) {
    constexpr double c[] = {
        0.4803844614152614,    // sqrt(3/13), the root's factor at r = 1
        -0.27714488158573075,  -0.06810184055987356,  -0.031818819888045184, -0.01873266033579118,
        -0.012462328393242765, -0.008944212795827846, -0.006792053132222817, -0.0050486747045080365,
        -0.006223355793254197, 0.006933697493254333,  -0.04581477143255139,  0.12837266497021457,
        -0.2980880235492606,   0.4792325571050742,    -0.5372482268291799,   0.3672811472907985,
        -0.12279366548072086,
    };  // c[k] multiplies x^k
    const double x2 = x * x, x4 = x2 * x2, x8 = x4 * x4;
    const double pairs[] = {c[2] + c[3] * x,   c[4] + c[5] * x,   c[6] + c[7] * x,   c[8] + c[9] * x,
                            c[10] + c[11] * x, c[12] + c[13] * x, c[14] + c[15] * x, c[16] + c[17] * x};
    const double fours[] = {pairs[0] + pairs[1] * x2, pairs[2] + pairs[3] * x2, pairs[4] + pairs[5] * x2,
                            pairs[6] + pairs[7] * x2};
    const double higher = (fours[0] + fours[1] * x4) + (fours[2] + fours[3] * x4) * x8;  // terms from x^2 on, over x^2
    return (c[0] + c[1] * x) + higher * x2;
}

// Nozzle law for steam (kappa 1.3): mass through `area` m² in `dt` s from
// absolute pressure `upstream` to `downstream`, kg.
double nozzleMass(double upstream, double downstream, double area, double dt) {
    constexpr double coefficient = 2.0 / 0.61 * 4.3333333;  // 2 kappa/(kappa-1), over the steam's 0.61
    const double ratio = downstream / upstream;
    if (ratio < 0.547) return dt * area * std::sqrt(coefficient * upstream * 0.05137336);  // choked
    const double x = 1.0 - ratio;
    return dt * area * std::sqrt(coefficient * upstream) * (std::sqrt(x) * flowRootOverRootOfX(x));
}

// Which side pushes: the higher absolute pressure is upstream.
struct FlowSides {
    GasSpace* upstream;
    GasSpace* downstream;
    double upstreamPressure;    // Pa absolute
    double downstreamPressure;  // Pa absolute
    double upstreamFactor;      // Pa absolute per kg of steam
    double downstreamFactor;    // Pa absolute per kg of steam
    bool forward;               // `from` is upstream
};

// Mass that, moved from upstream to downstream, leaves both at one pressure.
double equalisingMass(const GasSpace& up, const GasSpace& down) {
    return down.volume * (up.steamMass + down.steamMass) * up.temperature /
               (down.temperature * up.volume + down.volume * up.temperature) -
           down.steamMass;
}

// True when moving `mass` would push the downstream above the upstream.
bool wouldOvershoot(const FlowSides& sides, double mass) {
    return (sides.downstream->steamMass + mass) * sides.downstreamFactor >
           (sides.upstream->steamMass - mass) * sides.upstreamFactor;
}

// Absolute pressure per kg of steam in the space, Pa/kg.
double pressureFactor(const GasSpace& space) { return gasConstant * space.temperature / space.volume; }

// Litres of steam at the upstream state that `mass` kg occupy.
double steamLitres(const FlowSides& sides, double mass) {
    return mass * gasConstant * sides.upstream->temperature * 1000.0 / sides.upstreamPressure;  // 1000 l/m³
}

// Steam mass (kg) left of `litres` after `water` litres were taken by water.
double steamMassOf(const FlowSides& sides, double litres, double water) {
    return sides.upstreamPressure * (litres - water) * 0.001 / (gasConstant * sides.upstream->temperature);
}

// Moves `water` kg from upstream to downstream.
void carryWater(const FlowSides& sides, double water) {
    sides.downstream->waterMass += water;
    sides.upstream->waterMass = std::max(0.0, sides.upstream->waterMass - water);
}

// True when `normalise` will only set the pressure, so that normalising
// again would change nothing.
bool settles(const GasSpace& space) { return space.initialised && space.steamMass > 0.0; }

// Moves the steam and normalises the upstream; `upstreamSettled` tells
// whether a second normalise of it would change nothing.
double moveSteam(const FlowSides& sides, double mass, bool& upstreamSettled) {
    sides.upstream->steamMass -= mass;
    sides.downstream->steamMass += mass;
    upstreamSettled = settles(*sides.upstream);
    // Temperature and volume are still those the factor was taken from.
    if (upstreamSettled) sides.upstream->pressure = sides.upstream->steamMass * sides.upstreamFactor - atmosphere;
    else normalise(*sides.upstream);
    return sides.forward ? mass : -mass;
}

// Sides of a flow from the present masses; nullopt when the pressures are equal.
std::optional<FlowSides> flowSides(GasSpace& from, GasSpace& to) {
    const double fromFactor = pressureFactor(from);
    const double toFactor = pressureFactor(to);
    const double fromPressure = from.steamMass * fromFactor;  // Pa absolute
    const double toPressure = to.steamMass * toFactor;        // Pa absolute
    if (fromPressure > toPressure) return FlowSides{&from, &to, fromPressure, toPressure, fromFactor, toFactor, true};
    if (fromPressure < toPressure) return FlowSides{&to, &from, toPressure, fromPressure, toFactor, fromFactor, false};
    return std::nullopt;
}

}  // namespace

double pressureOf(const GasSpace& space, double steamMass) {
    return steamMass * gasConstant * space.temperature / space.volume - atmosphere;
}

double atmosphericMass(const GasSpace& space) {
    return space.volume * atmosphere / (gasConstant * space.temperature);
}

void massFromPressure(GasSpace& space) {
    space.steamMass = (space.pressure + atmosphere) * space.volume / (gasConstant * space.temperature);
}

void normalise(GasSpace& space) {
    space.pressure = pressureOf(space, space.steamMass);
    if (!space.initialised || space.steamMass <= 0.0) {
        space.steamMass = atmosphericMass(space);
        space.pressure = 0.0;
        space.initialised = true;
    }
}

double saturationTemperature(double gaugePressure) {
    if (gaugePressure < 0.0) return temperatureOnLine(gaugePressure, 0);  // below the table, no row
    return temperatureOnLine(gaugePressure, saturationBar(gaugePressure));
}

void saturate(GasSpace& space) {
    int lineRow = saturationBar(space.pressure);
    saturate(space, lineRow);
}

void saturate(GasSpace& space, int& lineRow) {
    // The three pressures on the way lie close together, so each row found
    // is the guess for the next.
    const int startBar = saturationBarNear(space.pressure, lineRow);
    space.temperature = temperatureOnLine(space.pressure, startBar);
    normalise(space);
    // Solve p V = M R (a + b p) for p on this bar's piece of the line.
    const int bar = saturationBarNear(space.pressure, startBar);
    const SaturationRow& row = saturationRows[bar];
    const double massR = space.steamMass * gasConstant;
    const double denominator = space.volume - row.slope * massR;  // m³
    // Hundreds of bar: the line has no solution there; the pressure stays
    // that of the gas at the line's temperature.
    if (denominator > 0.0) {
        space.pressure = (row.intercept * massR - space.volume * atmosphere) / denominator;
    }
    lineRow = saturationBarNear(space.pressure, bar);
    space.temperature = temperatureOnLine(space.pressure, lineRow);
}

namespace {

// The nozzle flow; `fromNormalised` tells whether `from` came out
// normalised so that normalising it again would change nothing.
double flowBetween(GasSpace& from, GasSpace& to, double area, double dt, bool reverseCarry, bool& fromNormalised) {
    fromNormalised = false;
    // Large steps only let steam escape to the open air.
    if (dt > 0.05 && to.volume < 1e10) return 0.0;

    // Water carry-over factors: a large vessel (the superheater) primes hard.
    double forwardCarry = 0.00001;
    double reverseCarryFactor = 0.0001;
    if (from.volume >= 0.3 && from.volume <= 5.0 && to.volume < 1e80) {
        forwardCarry = 0.01;
        reverseCarryFactor = 0.0;
    } else if (reverseCarry) {
        forwardCarry = 0.0001;
        reverseCarryFactor = 0.00001;
    }

    // Direction from the absolute pressures of the present masses.
    const auto found = flowSides(from, to);
    if (!found) return 0.0;
    const FlowSides& sides = *found;
    double mass = nozzleMass(sides.upstreamPressure, sides.downstreamPressure, area, dt);

    // Water carried along with the steam, in proportion to the water present.
    const bool mayCarry = sides.forward || !isAtmosphere(to) || to.waterMass > 0.0001;
    if (mayCarry) {
        if (sides.upstream->waterMass > 0.0001) {
            const double litres = steamLitres(sides, mass);
            const double factor = sides.forward ? forwardCarry : reverseCarryFactor;
            const double water = std::min(litres * sides.upstream->waterMass / sides.upstream->volume * factor,
                                          0.99 * sides.downstream->volume);
            carryWater(sides, water);
            mass = steamMassOf(sides, litres, water);
        } else {
            sides.upstream->waterMass = 0.0;
        }
    }

    // No overshoot: stop at equal pressures; into the open air the space
    // simply drops to atmospheric pressure.
    if (wouldOvershoot(sides, mass)) {
        if (sides.forward && isAtmosphere(to)) {
            const double before = from.steamMass;
            from.steamMass = atmosphericMass(from);
            fromNormalised = settles(from);
            normalise(from);
            return before - from.steamMass;
        }
        mass = equalisingMass(*sides.upstream, *sides.downstream);
        if (!std::isfinite(mass)) mass = 0.0;  // the open air as a reverse downstream
    }
    bool upstreamSettled = false;
    const double moved = moveSteam(sides, mass, upstreamSettled);
    fromNormalised = sides.forward && upstreamSettled;
    return moved;
}

}  // namespace

double flow(GasSpace& from, GasSpace& to, double area, double dt, bool reverseCarry) {
    bool fromNormalised = false;
    return flowBetween(from, to, area, dt, reverseCarry, fromNormalised);
}

double flowOut(GasSpace& from, GasSpace& to, double area, double dt, bool reverseCarry) {
    bool fromNormalised = false;
    const double moved = flowBetween(from, to, area, dt, reverseCarry, fromNormalised);
    if (!fromNormalised) normalise(from);
    return moved;
}

double regulatorFlow(GasSpace& from, GasSpace& to, double area, double primingRate, double dt) {
    const auto found = flowSides(from, to);
    if (!found) return 0.0;
    const FlowSides& sides = *found;
    double mass = nozzleMass(sides.upstreamPressure, sides.downstreamPressure, area, dt);

    // Priming: the boiler throws water over at the priming rate, never back.
    if (sides.upstream->waterMass <= 0.0001) {
        sides.upstream->waterMass = 0.0;
    } else if (sides.forward) {
        const double litres = steamLitres(sides, mass);
        const double water = std::min({dt * primingRate, litres, 0.99 * sides.downstream->volume});
        carryWater(sides, water);
        mass = steamMassOf(sides, litres, water);
    }

    // Equal pressures at most; into the open air that leaves the upstream at
    // atmospheric pressure (the general formula overflows on its volume).
    if (wouldOvershoot(sides, mass)) {
        mass = isAtmosphere(*sides.downstream) ? sides.upstream->steamMass - atmosphericMass(*sides.upstream)
                                               : equalisingMass(*sides.upstream, *sides.downstream);
    }
    bool upstreamSettled = false;
    return moveSteam(sides, mass, upstreamSettled);
}

void mixTemperature(GasSpace& space, double inflowTemperature, double inflowMass) {
    if (space.steamMass < 0.0001 || inflowMass < 0.0001) return;
    space.temperature = (space.steamMass * space.temperature + inflowMass * inflowTemperature) /
                        (space.steamMass + inflowMass);
}

namespace {

// Near or below atmospheric pressure: the space takes heat from the wall
// by its volume, and water lying in it boils off at the lowered pressure.
void exchangeAtLowPressure(GasSpace& space, double& wall, double dt, bool compressorMode) {
    if (compressorMode) {
        space.temperature = wall;
    } else if (space.steamMass > 0.0) {
        // Thin steam carries little heat: a thousandth of the 58000 W/(m³ K)
        // that steam at pressure exchanges with the wall.
        const double heat = space.volume * 58.0 * (wall - space.temperature) * dt;  // J
        space.temperature = (space.steamMass * specificHeat * space.temperature + heat) / (specificHeat * space.steamMass);
        wall = (wall * wallHeatCapacity - heat) * (1.0 / wallHeatCapacity);
    }
    const double boiling = saturationTemperature(space.pressure - atmosphere);  // K
    if (space.waterMass > 0.0001 && wall > boiling) {
        const double alpha = 2.0 * space.volume * 58000.0;  // W/K
        // Never more than lies there: steam is not made from nothing.
        const double evaporated = std::min(alpha * (wall - boiling) * dt / latentHeat(boiling), space.waterMass);
        space.waterMass -= evaporated;
        space.steamMass += evaporated;
    }
}

}  // namespace

void wallHeatExchange(GasSpace& space, double& wall, double dt, bool resetSpaces, bool compressorMode) {
    // A requested reset puts near-empty spaces at the wall temperature.
    if (resetSpaces && space.pressure < 10000.0) {
        space.temperature = wall;
        space.steamMass = atmosphericMass(space);
        return;
    }
    if (space.pressure <= 10000.0) {
        exchangeAtLowPressure(space, wall, dt, compressorMode);
        return;
    }

    // Heat flows from the hotter to the colder side.
    const double saturation = saturationTemperature(space.pressure);  // K
    const double alpha = 2.0 * space.volume * 58000.0;                // W/K
    const double heat = alpha * std::fabs(wall - space.temperature) * dt;  // J
    const bool wallColder = wall < space.temperature;
    const double steamChange = heat / (specificHeat * space.steamMass);  // K
    const double wallChange = heat * (1.0 / wallHeatCapacity);           // K
    space.temperature += wallColder ? -steamChange : steamChange;
    wall += wallColder ? wallChange : -wallChange;

    // Below saturation the steam condenses on the metal ...
    if (space.temperature < saturation) {
        if (space.volume > 1e-5 && !compressorMode) {
            const double condensed = heat / latentHeat(saturation);
            space.steamMass -= condensed;
            space.waterMass += condensed;
        }
        space.temperature = saturation;
        normalise(space);
        return;
    }
    // ... above it dry steam keeps its superheat, ...
    if (space.waterMass <= 0.0001) {
        space.waterMass = 0.0;
        if (wallColder && wall > space.temperature) space.temperature = wall;
        return;
    }
    // ... and wet steam spends the heat on evaporating its water.
    const double evaporated = std::min(heat / latentHeat(saturation), space.waterMass);
    space.waterMass -= evaporated;
    space.steamMass += evaporated;
    space.temperature = saturation;
}

void polytropicStep(CylinderSpace& space) {
    space.pressure = space.pressure * std::pow(space.previousVolume / space.volume, 1.3);
    space.temperature = (space.pressure + atmosphere) * space.volume / (space.steamMass * gasConstant);
}

void coolTowardsSaturation(GasSpace& space, double drop) {
    const double saturation = saturationTemperature(space.pressure);
    if (saturation < space.temperature) space.temperature = std::max(space.temperature - drop, saturation);
    normalise(space);
}

// Water drains at 0.1 kg/s, and 1 kg/s more for every 14 bar over the
// atmosphere.
constexpr double drainPerPascal = 7.142857142857143e-7;  // kg/s per Pa

void drainWater(GasSpace& space, double dt) {
    if (space.waterMass <= 0.0001) return;
    space.waterMass -= (space.pressure * drainPerPascal + 0.1) * dt;
    if (space.waterMass < 0.0) space.waterMass = 0.0;
}

}  // namespace zt40
