#include "gas_space.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zt40 {
namespace {

constexpr double kelvinTolerance = 1e-9;
constexpr double massTolerance = 1e-12;     // kg
constexpr double pressureTolerance = 1e-3;  // Pa

GasSpace space(double pressure, double temperature, double volume, double water = 0.0) {
    GasSpace s{};
    s.initialised = true;
    s.pressure = pressure;
    s.temperature = temperature;
    s.volume = volume;
    s.waterMass = water;
    massFromPressure(s);
    return s;
}

GasSpace openAir(double temperature) {
    GasSpace air = space(0.0, temperature, steam::atmosphereVolume);
    return air;
}

TEST(SaturationLine, FixedPointsAndContinuityAtEveryBar) {
    EXPECT_NEAR(saturationTemperature(0.0), 372.64, kelvinTolerance);
    EXPECT_NEAR(saturationTemperature(1400000.0), 471.28, kelvinTolerance);
    EXPECT_NEAR(saturationTemperature(-100000.0), 372.64 - 36.58, kelvinTolerance);
    constexpr double joinTolerance = 0.01;  // K, the table's rounding
    for (int bar = 1; bar <= 25; ++bar) {
        const double p = bar * 100000.0;
        EXPECT_NEAR(saturationTemperature(std::nextafter(p, 0.0)), saturationTemperature(p), joinTolerance)
            << "at " << bar << " bar";
        EXPECT_LT(saturationTemperature(p - 50000.0), saturationTemperature(p)) << "rising at " << bar;
    }
    // Beyond the table the last piece goes on, to an unbounded pressure too.
    EXPECT_EQ(saturationTemperature(std::numeric_limits<double>::infinity()), std::numeric_limits<double>::infinity());
}

TEST(Saturate, PutsTheSpaceOnTheLineKeepingMassAndVolume) {
    GasSpace boiler = space(1300000.0, 500.0, 11.0);  // superheated start
    const double mass = boiler.steamMass;
    saturate(boiler);
    EXPECT_DOUBLE_EQ(boiler.steamMass, mass);
    EXPECT_DOUBLE_EQ(boiler.volume, 11.0);
    EXPECT_NEAR(boiler.temperature, saturationTemperature(boiler.pressure), kelvinTolerance);
    // The gas law holds at the new state: the pressure follows the mass.
    EXPECT_NEAR(pressureOf(boiler, mass), boiler.pressure, 1.0);
    // Superheated steam falls onto the line: cooler, so at a lower pressure.
    EXPECT_LT(boiler.pressure, 1300000.0);
    EXPECT_LT(boiler.temperature, 500.0);
}

TEST(Saturate, SteamCrowdedBeyondTheLineStaysFiniteAndWarm) {
    // 10 kg in 0.05 m³ would need hundreds of bar: the line has no solution.
    GasSpace pocket = space(0.0, 600.0, 0.05);
    pocket.steamMass = 10.0;
    saturate(pocket);
    EXPECT_TRUE(std::isfinite(pocket.pressure));
    EXPECT_GT(pocket.pressure, 0.0);
    EXPECT_NEAR(pocket.temperature, saturationTemperature(pocket.pressure), kelvinTolerance);
    EXPECT_EQ(pocket.steamMass, 10.0);
}

TEST(Normalise, EmptyOrUninitialisedSpaceTakesAtmosphericMass) {
    for (double mass : {0.0, -0.5}) {
        GasSpace s = space(0.0, 400.0, 0.1);
        s.steamMass = mass;
        normalise(s);
        EXPECT_NEAR(s.steamMass, atmosphericMass(s), massTolerance);
        EXPECT_EQ(s.pressure, 0.0);
        EXPECT_TRUE(s.initialised);
    }
    GasSpace fresh{};
    fresh.temperature = 400.0;
    fresh.volume = 0.1;
    fresh.steamMass = 0.5;
    normalise(fresh);
    EXPECT_NEAR(fresh.steamMass, atmosphericMass(fresh), massTolerance);

    GasSpace full = space(500000.0, 430.0, 0.1);
    normalise(full);
    EXPECT_NEAR(full.pressure, 500000.0, pressureTolerance);
}

TEST(Flow, ChokedFlowIgnoresTheBackPressureAndGrowsWithTheNozzle) {
    // Below the critical pressure ratio the nozzle passes the same mass
    // whatever lies behind it: the open air, or a space at a quarter of
    // the upstream pressure. Twice the nozzle passes twice the mass.
    const double dt = 0.001, area = 0.0005;  // s, m²
    const auto moved = [&](GasSpace downstream, double nozzle) {
        GasSpace chest = space(1000000.0, 470.0, 0.1);
        const double before = chest.steamMass;
        const double mass = flow(chest, downstream, nozzle, dt, false);
        EXPECT_NEAR(chest.steamMass, before - mass, massTolerance);
        EXPECT_LT(chest.pressure, 1000000.0);  // the loser is normalised
        return mass;
    };
    const double intoAir = moved(openAir(290.0), area);
    EXPECT_GT(intoAir, 0.0);
    EXPECT_NEAR(moved(space(175000.0, 420.0, 10.0), area), intoAir, 1e-9 * intoAir);
    EXPECT_NEAR(moved(openAir(290.0), 2.0 * area), 2.0 * intoAir, 1e-9 * intoAir);
}

TEST(Flow, UnchokedMovesTheNozzleAmountAcrossTheRange) {
    // r^(20/13) - r^(23/13) as r^(20/13) (1 - r^(3/13)), which keeps its
    // digits where the two powers nearly cancel.
    const auto flowFunction = [](double r) { return std::pow(r, 20.0 / 13.0) * -std::expm1(3.0 / 13.0 * std::log(r)); };
    const double upstream = 1100000.0;  // Pa absolute
    const double dt = 0.0001, area = 1e-6;
    for (double ratio : {0.55, 0.7, 0.9, 0.99, 0.9999}) {
        GasSpace chest = space(upstream - steam::atmosphere, 470.0, 0.1);
        GasSpace cylinder = space(ratio * upstream - steam::atmosphere, 430.0, 0.05);
        const double expected = dt * area * std::sqrt(2.0 * upstream / 0.61 * 4.3333333 * flowFunction(ratio));
        EXPECT_NEAR(flow(chest, cylinder, area, dt, false), expected, 1e-11 * expected) << "at " << ratio;
    }
}

TEST(Flow, StopsAtEqualPressuresInBothDirections) {
    for (bool forward : {true, false}) {
        GasSpace high = space(1200000.0, 480.0, 0.1);
        GasSpace low = space(200000.0, 420.0, 0.05);
        const double total = high.steamMass + low.steamMass;
        const double moved = forward ? flow(high, low, 1.0, 0.01, false) : flow(low, high, 1.0, 0.01, false);
        EXPECT_EQ(moved > 0.0, forward);
        EXPECT_NEAR(pressureOf(high, high.steamMass), pressureOf(low, low.steamMass), pressureTolerance);
        EXPECT_NEAR(high.steamMass + low.steamMass, total, massTolerance);
    }
}

TEST(Flow, OvershootIntoOpenAirDropsTheSpaceToAtmosphere) {
    GasSpace chest = space(50000.0, 400.0, 0.1);
    GasSpace air = openAir(290.0);
    const double before = chest.steamMass;
    const double moved = flow(chest, air, 10.0, 0.01, false);
    EXPECT_NEAR(chest.steamMass, atmosphericMass(chest), massTolerance);
    EXPECT_NEAR(chest.pressure, 0.0, pressureTolerance);
    EXPECT_NEAR(moved, before - chest.steamMass, massTolerance);
}

TEST(Flow, LargeStepsOnlyVentToOpenAir) {
    GasSpace high = space(1000000.0, 470.0, 0.1);
    GasSpace low = space(0.0, 400.0, 0.1);
    const GasSpace highBefore = high;
    EXPECT_EQ(flow(high, low, 0.001, 0.06, false), 0.0);
    EXPECT_EQ(high.steamMass, highBefore.steamMass);
    GasSpace air = openAir(290.0);
    EXPECT_GT(flow(high, air, 0.001, 0.06, false), 0.0);
    EXPECT_GT(flow(high, low, 0.001, 0.05, false), 0.0);  // 0.05 s itself is allowed
}

TEST(Flow, WaterCarriedInProportionWithItsFactor) {
    // A small vessel: forward factor 0.00001 normally, 0.0001 with reverse carry.
    for (bool reverseCarry : {false, true}) {
        GasSpace chest = space(1000000.0, 460.0, 0.1, 5.0);
        GasSpace cylinder = space(0.0, 400.0, 0.2);
        const double dt = 0.001, area = 0.001;
        const double upstream = 1100000.0;
        const double nozzle = dt * area * std::sqrt(2.0 * upstream / 0.61 * 4.3333333 * 0.05137336);
        const double litres = nozzle * 462.0 * 460.0 * 1000.0 / upstream;
        const double water = litres * 5.0 / 0.1 * (reverseCarry ? 0.0001 : 0.00001);
        const double moved = flow(chest, cylinder, area, dt, reverseCarry);
        EXPECT_NEAR(cylinder.waterMass, water, 1e-12);
        EXPECT_NEAR(chest.waterMass, 5.0 - water, 1e-12);
        EXPECT_NEAR(moved, upstream * (litres - water) / 1000.0 / 462.0 / 460.0, 1e-12);
    }
}

TEST(Flow, WaterCarryOverIsLimitedByTheDownstreamVolume) {
    // A large vessel primes at factor 0.01, but no more than 0.99 of the
    // downstream volume can arrive.
    GasSpace superheater = space(1300000.0, 470.0, 1.0, 800.0);
    GasSpace chest = space(0.0, 400.0, 0.001);
    flow(superheater, chest, 0.05, 0.001, false);
    EXPECT_NEAR(chest.waterMass, 0.99 * 0.001, 1e-15);
    EXPECT_NEAR(superheater.waterMass, 800.0 - 0.99 * 0.001, 1e-9);
}

TEST(Flow, ATraceOfWaterIsDropped) {
    GasSpace chest = space(1000000.0, 460.0, 0.1, 0.00005);
    GasSpace cylinder = space(0.0, 400.0, 0.2);
    flow(chest, cylinder, 0.001, 0.001, false);
    EXPECT_EQ(chest.waterMass, 0.0);
    EXPECT_EQ(cylinder.waterMass, 0.0);
}

TEST(RegulatorFlow, PrimesAtTheGivenRateForwardOnly) {
    GasSpace boiler = space(1400000.0, 471.0, 11.0, 9000.0);
    GasSpace superheater = space(0.0, 500.0, 1.5);
    const double dt = 0.001;
    regulatorFlow(boiler, superheater, 0.01, 2.0, dt);
    EXPECT_NEAR(superheater.waterMass, 2.0 * dt, 1e-12);
    EXPECT_NEAR(boiler.waterMass, 9000.0 - 2.0 * dt, 1e-9);

    // Steam driven back into the boiler brings no water.
    GasSpace wetSuperheater = space(1400000.0, 500.0, 1.5, 3.0);
    GasSpace lowBoiler = space(100000.0, 390.0, 11.0, 9000.0);
    EXPECT_LT(regulatorFlow(lowBoiler, wetSuperheater, 0.01, 2.0, dt), 0.0);
    EXPECT_EQ(lowBoiler.waterMass, 9000.0);
    EXPECT_EQ(wetSuperheater.waterMass, 3.0);
}

TEST(RegulatorFlow, EqualisesWithoutOvershootEvenIntoLargeSpaces) {
    GasSpace boiler = space(1400000.0, 471.0, 11.0);
    GasSpace superheater = space(0.0, 500.0, 1.5);
    regulatorFlow(boiler, superheater, 100.0, 0.0, 0.5);  // no dt guard here
    EXPECT_NEAR(pressureOf(boiler, boiler.steamMass), pressureOf(superheater, superheater.steamMass),
                pressureTolerance);
}

TEST(RegulatorFlow, OvershootIntoOpenAirLeavesTheSpaceAtAtmosphere) {
    // A safety valve wider than a small steam pocket can feed in one step.
    GasSpace pocket = space(1450000.0, 471.0, 0.01);
    GasSpace air = openAir(290.0);
    const double before = pocket.steamMass;
    const double moved = regulatorFlow(pocket, air, 0.002, 0.0, 0.5);
    EXPECT_NEAR(pocket.steamMass, atmosphericMass(pocket), massTolerance);
    EXPECT_NEAR(pocket.pressure, 0.0, pressureTolerance);
    EXPECT_NEAR(moved, before - pocket.steamMass, massTolerance);
}

TEST(MixTemperature, MassWeightedUnlessOneSideIsATrace) {
    GasSpace s = space(0.0, 400.0, 0.1);
    s.steamMass = 1.0;
    mixTemperature(s, 500.0, 1.0);
    EXPECT_NEAR(s.temperature, 450.0, kelvinTolerance);
    mixTemperature(s, 900.0, 0.00005);
    EXPECT_NEAR(s.temperature, 450.0, kelvinTolerance);
}

TEST(WallHeatExchange, DrySteamAndWallTradeHeatWithoutLoss) {
    GasSpace s = space(500000.0, 600.0, 0.1);  // well superheated, dry
    double wall = 450.0;
    const double mass = s.steamMass;
    const double energyBefore = mass * 1860.0 * s.temperature + 3760000.0 * wall;
    wallHeatExchange(s, wall, 0.0001, false, false);
    EXPECT_LT(s.temperature, 600.0);
    EXPECT_GT(wall, 450.0);
    EXPECT_NEAR(mass * 1860.0 * s.temperature + 3760000.0 * wall, energyBefore, 1e-6 * energyBefore);
}

TEST(WallHeatExchange, ColdWallCondensesSteamToWater) {
    GasSpace s = space(1000000.0, 460.0, 0.1);
    double wall = 300.0;
    const double total = s.steamMass;
    wallHeatExchange(s, wall, 0.01, false, false);
    EXPECT_GT(s.waterMass, 0.0);
    EXPECT_NEAR(s.steamMass + s.waterMass, total, massTolerance);
    EXPECT_NEAR(s.temperature, saturationTemperature(1000000.0), kelvinTolerance);
    // A compressor space keeps its steam.
    GasSpace c = space(1000000.0, 460.0, 0.1);
    double wall2 = 300.0;
    wallHeatExchange(c, wall2, 0.01, false, true);
    EXPECT_EQ(c.waterMass, 0.0);
}

TEST(WallHeatExchange, HotWallNeverBoilsMoreWaterThanLiesThere) {
    GasSpace wet = space(300000.0, saturationTemperature(300000.0), 0.02, 0.001);
    double wall = 700.0;
    wallHeatExchange(wet, wall, 0.01, false, false);
    EXPECT_GE(wet.waterMass, 0.0);
    GasSpace low = space(0.0, 380.0, 0.02, 0.001);
    double wall2 = 700.0;
    const double total = low.steamMass + low.waterMass;
    wallHeatExchange(low, wall2, 0.01, false, false);
    EXPECT_GE(low.waterMass, 0.0);
    EXPECT_LE(low.steamMass + low.waterMass, total + massTolerance);
}

TEST(WallHeatExchange, ResetPutsNearEmptySpacesAtWallTemperature) {
    GasSpace s = space(5000.0, 350.0, 0.05);
    double wall = 520.0;
    wallHeatExchange(s, wall, 0.001, true, false);
    EXPECT_EQ(s.temperature, 520.0);
    EXPECT_NEAR(s.steamMass, atmosphericMass(s), massTolerance);
    EXPECT_EQ(wall, 520.0);
    GasSpace full = space(500000.0, 450.0, 0.05);
    wallHeatExchange(full, wall, 0.001, true, false);
    EXPECT_NE(full.temperature, 520.0);  // only spaces below 0.1 bar
}

TEST(PolytropicStep, CompressionRaisesGaugePressureByTheVolumeRatio) {
    CylinderSpace c{};
    static_cast<GasSpace&>(c) = space(200000.0, 450.0, 0.1);
    c.previousVolume = 0.2;
    polytropicStep(c);
    EXPECT_NEAR(c.pressure, 200000.0 * std::pow(2.0, 1.3), pressureTolerance);
    EXPECT_NEAR(c.temperature, (c.pressure + 100000.0) * 0.1 / c.steamMass / 462.0, kelvinTolerance);
}

TEST(CoolTowardsSaturation, NeverBelowTheLine) {
    GasSpace s = space(800000.0, 500.0, 0.1);
    coolTowardsSaturation(s, 10.0);
    EXPECT_NEAR(s.temperature, 490.0, kelvinTolerance);
    const double pressure = s.pressure;  // Pa, before the pressure follows the cooling
    coolTowardsSaturation(s, 1000.0);
    EXPECT_NEAR(s.temperature, saturationTemperature(pressure), kelvinTolerance);
    EXPECT_LT(s.pressure, pressure);
}

TEST(DrainWater, RunsFasterUnderMorePressureAndStopsAtEmpty) {
    GasSpace low = space(100000.0, 400.0, 0.1, 2.0);
    GasSpace high = space(700000.0, 450.0, 0.1, 2.0);
    drainWater(low, 0.1);
    drainWater(high, 0.1);
    EXPECT_LT(low.waterMass, 2.0);  // even a little pressure drains
    EXPECT_LT(high.waterMass, low.waterMass);
    drainWater(high, 100.0);
    EXPECT_EQ(high.waterMass, 0.0);
}

}  // namespace
}  // namespace zt40
