#include "simulation_model.h"

#include <gtest/gtest.h>

#include <memory>

#include "time_step.h"

namespace zt40 {
namespace {

constexpr double timeTolerance = 1e-9;  // s

std::unique_ptr<SimulationBlock> standingEngine() {
    auto block = std::make_unique<SimulationBlock>();
    constructSteamSpaces(*block);
    block->stepInterval = 0.015;
    block->fineTimer = true;
    block->ambientTemp = 288;
    block->cylinderWallTemp = 350.0;
    return block;
}

TEST(TimeStep, SubStepIsOneHundredthOfTheIntervalAtEverySpeed) {
    for (int code = -3; code <= 3; ++code) {
        const SimSpeed speed(static_cast<std::int8_t>(code));
        EXPECT_NEAR(subStepLength(0.015, true, speed), 0.00015, 1e-15) << "code " << code;
        EXPECT_NEAR(subStepLength(0.015, false, speed), 0.01, 1e-15) << "code " << code;
        EXPECT_NEAR(speed.subSteps() / 100.0, speed.factor(), 1e-15);
    }
    EXPECT_EQ(SimSpeed(SimSpeed::stopCode).subSteps(), 0);
    EXPECT_EQ(subStepLength(0.0, true, SimSpeed(0)), 0.0001);
    EXPECT_EQ(subStepLength(-1.0, true, SimSpeed(0)), 0.0001);
}

TEST(SimulationModel, ExchangeAdvancesTimeByTheSpeedFactor) {
    const double factors[] = {0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0};
    for (bool fine : {true, false}) {
        for (int code = -3; code <= 3; ++code) {
            auto block = standingEngine();
            block->fineTimer = fine;
            block->simSpeedCode = static_cast<std::int8_t>(code);
            SimulationModel model;
            model.start(*block);
            model.runExchange(*block);
            const double k = factors[code + 3];
            EXPECT_NEAR(block->simTime, (fine ? 0.015 : 1.0) * k, timeTolerance) << "code " << code;
        }
    }
}

TEST(SimulationModel, StopAndHoldIntegrateNothing) {
    auto block = standingEngine();
    SimulationModel model;
    model.start(*block);
    block->resetSpaces = true;
    block->simHold = true;
    model.runExchange(*block);
    EXPECT_EQ(block->simTime, 0.0);
    EXPECT_TRUE(block->resetSpaces);  // the order waits for a sub-step

    block->simHold = false;
    block->simSpeedCode = SimSpeed::stopCode;
    model.runExchange(*block);
    EXPECT_EQ(block->simTime, 0.0);

    block->simSpeedCode = 0;
    model.runExchange(*block);
    EXPECT_NEAR(block->simTime, 0.015, timeTolerance);
    EXPECT_FALSE(block->resetSpaces);
}

TEST(SimulationModel, StartPutsChestAndExhaustAtWallTemperature) {
    auto block = standingEngine();
    SimulationModel model;
    model.start(*block);
    EXPECT_EQ(block->steamChestPyrometer, 350.0);
    for (const GasSpace* space : {&block->steamChest, &block->exhaustSpace}) {
        EXPECT_EQ(space->temperature, 350.0);
        EXPECT_EQ(space->volume, 0.1);
        EXPECT_NEAR(space->pressure, pressureOf(*space, 0.0001), 1e-9);
    }
}

}  // namespace
}  // namespace zt40
