// What the engine does with its steam: the indicated figures of both
// cylinder sides against the loops the indicator samples and against the
// work at the wheel rim, and the boiler's balance against its contents.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "indicated_work.h"
#include "model_fixtures.h"
#include "simulation_model.h"

namespace zt40 {
namespace {

constexpr double turnLength = 2.0 * std::numbers::pi * 0.7;  // m the driving wheels roll in a turn

// The usual engine with warm cylinders and its valves engaged, on a rolling
// road: the wheels are held at a speed while the model runs.
struct RollingRoad {
    explicit RollingRoad(int reverser, int regulator = 100, int code = 0) {
        block->cylinderWallTemp = 450.0;  // K
        block->valvesEngaged = true;
        block->reverser = reverser;
        block->regulator = static_cast<std::int8_t>(regulator);
        block->pilotValve = 115;
        block->simSpeedCode = static_cast<std::int8_t>(code);
        model.start(*block);
    }
    void run(double speed, double seconds) {
        const double end = block->simTime + seconds;
        do {
            block->trainSpeed = block->wheelSpeed = speed;
            model.runExchange(*block);
        } while (block->simTime < end);
    }
    const EngineIndication& figures() const { return block->indication; }

    std::unique_ptr<SimulationBlock> block = testing::engineInSteam();
    SimulationModel model;
};

// The work (J) of the loops the indicator ring holds for one turn of the
// sampled side: each working space's gauge pressure on its piston over the
// piston's travel, round the loop.
double sampledLoopWork(const SimulationBlock& block) {
    double work = 0.0;
    const int count = block.indicatorCount;
    for (int i = 0; i < count; ++i) {
        const IndicatorSample& a = block.indicatorSamples[i];
        const IndicatorSample& b = block.indicatorSamples[(i + 1) % count];
        const double onPiston = 0.5 * (a.pressureB + b.pressureB) * cylinder::pistonAreaB -
                                0.5 * (a.pressureA + b.pressureA) * cylinder::pistonAreaA;  // N
        work += onPiston * (b.pistonTravel - a.pistonTravel);
    }
    return work;
}

TEST(IndicatedWork, FiguresAreTheAreasOfTheLoopsBothSidesDraw) {
    RollingRoad road(-60);  // 30 % fore gear, regulator wide open
    road.run(11.11, 20.0);  // 40 km/h
    for (bool side2 : {false, true}) {
        road.block->indicatorSide = side2;
        road.run(11.11, 1.0);  // a whole turn in the ring
        ASSERT_GT(road.block->indicatorCount, 600);
        const IndicatedFigures& side = side2 ? road.figures().side2 : road.figures().side1;
        EXPECT_NEAR(side.work, sampledLoopWork(*road.block), 0.01 * side.work) << "side 2: " << side2;
    }

    const EngineIndication& e = road.figures();
    EXPECT_GT(e.engine.work, 300000.0);  // J per revolution
    EXPECT_NEAR(e.engine.work, e.side1.work + e.side2.work, 1e-9 * e.engine.work);
    EXPECT_NEAR(e.turnTime, turnLength / 11.11, 0.002);
    // Two double-acting cylinders of 0.66 m stroke sweep 1.0006 m³ a revolution.
    EXPECT_NEAR(e.engine.meanEffectivePressure, e.engine.work / 1.00056, 1e-6);
    EXPECT_NEAR(e.engine.power, e.engine.work * 11.11 / turnLength, 0.005 * e.engine.power);

    // Over some seconds the steam the cylinders take is what the regulator
    // passes, less the few per cent the steam chest leaks and stores.
    double regulator = 0.0, cylinders = 0.0;  // kg
    const double start = road.block->simTime;  // s
    while (road.block->simTime < start + 5.0) {
        const double before = road.block->simTime;
        road.run(11.11, 0.0);
        const double elapsed = road.block->simTime - before;  // s
        regulator += road.block->boilerBalance.regulatorSteam * elapsed;
        cylinders += e.engine.steamRate * elapsed;
    }
    EXPECT_LT(cylinders, regulator);
    EXPECT_GT(cylinders, 0.96 * regulator);
}

// The cylinders' force reaches the rim less 3 % for the friction of the
// motion. Beyond that the model's force follows the pressures only with
// the valve gear set as here, in full gear without lead, and with release
// and compression beyond the end of the stroke: otherwise a working space
// pushes no more once released, the force turns at the valve's phase, not
// at the dead centre, and an admitting space below 1 bar pushes not at
// all. The crank's lever takes the rod's angle without its sign and with
// its cosine, which is right within 1 % only for a force as even over
// the stroke as full gear makes it.
TEST(IndicatedWork, TheRimGetsTheIndicatedPowerLessTheFrictionOfTheMotionAtEverySpeed) {
    for (int code = -3; code <= 3; ++code) {
        const bool backward = code % 2 != 0;
        RollingRoad road(backward ? 160 : -160, 100, code);
        road.block->valveLead = 0.0;
        road.block->expansionEnd = road.block->exhaustEnd = 125.0;
        road.run(backward ? -4.0 : 4.0, 10.0);
        const EngineIndication& e = road.figures();
        EXPECT_GT(e.engine.power, 300000.0) << "code " << code;  // W
        EXPECT_NEAR(e.rimPower, 0.97 * e.engine.power, 0.02 * e.engine.power) << "code " << code;
    }
}

TEST(IndicatedWork, CounterPressureBrakingIsNegativeWorkWithoutSteamPerKWh) {
    RollingRoad road(100, 0);  // back gear while running forward
    road.block->blastPipeClosed = true;
    road.block->counterPressureThrottle = 5;
    road.run(11.11, 10.0);
    const EngineIndication& e = road.figures();
    EXPECT_GT(e.turnTime, 0.0);
    EXPECT_LT(e.engine.work, -10000.0);  // J per revolution
    EXPECT_LT(e.side1.meanEffectivePressure, 0.0);
    EXPECT_LT(e.rimPower, 0.0);
    EXPECT_EQ(e.engine.steamPerKWh, 0.0);
}

TEST(IndicatedWork, StandingWheelsHaveNoFiguresAndSlippingOnesAreMeasuredByTheirTurns) {
    RollingRoad road(-160, 0);
    road.block->brake = 100;
    road.run(0.0, 2.0);  // steam on the pistons, the wheels held
    EXPECT_EQ(road.figures().turnTime, 0.0);
    EXPECT_EQ(road.figures().engine.power, 0.0);
    EXPECT_EQ(road.figures().engine.steamPerKWh, 0.0);
    EXPECT_GT(road.block->boilerBalance.steamMade, 0.0);  // the boiler works all the same

    // Released on a slippery rail, full gear spins the wheels.
    road.block->brake = 0;
    road.block->frictionFactor = 0.05;
    road.block->trainWeight = 1000;
    road.block->trainSpeed = road.block->wheelSpeed = 0.0;
    testing::runModel(road.model, *road.block, 8.0);
    ASSERT_TRUE(road.block->wheelSlip);
    ASSERT_GT(road.block->wheelSpeed, road.block->trainSpeed + 1.0);
    const EngineIndication& e = road.figures();
    EXPECT_GT(e.engine.work, 0.0);
    EXPECT_NEAR(e.turnTime, turnLength / road.block->wheelSpeed, 0.1 * e.turnTime);

    // Stopped: the figures go at once.
    road.block->regulator = 0;
    road.block->brake = 130;
    road.block->frictionFactor = 0.25;
    road.run(0.0, 0.1);
    EXPECT_EQ(road.figures().turnTime, 0.0);
    EXPECT_EQ(road.figures().rimPower, 0.0);
    EXPECT_EQ(road.figures().side2.work, 0.0);
}

// A minute of every user at every speed: the safety valve blowing off under
// a hard fire, then the regulator, injector, blower and cylinder water.
TEST(BoilerBalance, MadeLessUsedIsTheChangeOfTheBoilersSteamAndTheTrendItsWater) {
    for (int code = -3; code <= 3; ++code) {
        RollingRoad road(-60, 0, code);
        SimulationBlock& b = *road.block;
        b.boilerSteam.pressure = 1440000.0;  // Pa
        road.model.start(b);
        b.autoFiring = false;
        b.fireSetpoint = 100;
        b.blowerSetting = 10;
        b.injectorRate = 80;
        const double steamBefore = b.boilerSteam.steamMass, waterBefore = b.boilerSteam.waterMass;  // kg
        double made = 0.0, used = 0.0, water = 0.0, blownOff = 0.0, fed = 0.0;  // kg
        while (b.simTime < 60.0) {
            if (b.simTime > 30.0) {
                b.regulator = 40;
                b.cylinderWaterInjection = 20;
            }
            const double before = b.simTime;
            road.model.runExchange(b);
            const double elapsed = b.simTime - before;  // s
            made += b.boilerBalance.steamMade * elapsed;
            used += b.boilerBalance.steamUsed * elapsed;
            water += b.boilerBalance.waterTrend * elapsed;
            blownOff += b.boilerBalance.safetyValveSteam * elapsed;
            fed += b.boilerBalance.injectorSteam * elapsed;
            ASSERT_NEAR(b.boilerBalance.steamUsed,
                        b.boilerBalance.regulatorSteam + b.boilerBalance.blowerSteam +
                            b.boilerBalance.injectorSteam + b.boilerBalance.safetyValveSteam,
                        1e-9);
        }
        EXPECT_GT(blownOff, 1.0) << "code " << code;
        EXPECT_GT(fed, 1.0) << "code " << code;
        EXPECT_NEAR(made - used, b.boilerSteam.steamMass - steamBefore, 0.01 * used) << "code " << code;
        EXPECT_NEAR(water, b.boilerSteam.waterMass - waterBefore, 0.01 * made) << "code " << code;
    }
}

}  // namespace
}  // namespace zt40
