#include "running_gear.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "model_fixtures.h"

namespace zt40 {
namespace {

constexpr double dt = 0.00015;  // s
constexpr double speedTolerance = 1e-9;  // m/s

class RunningGearTest : public ::testing::Test {
protected:
    void SetUp() override {
        block = testing::engineInSteam();
        block->trainSpeed = block->wheelSpeed = 5.0;
        gear.prepareExchange(*block);
    }
    double adhesionLimit() const { return block->frictionFactor * gear.adhesiveWeight(); }  // N
    std::unique_ptr<SimulationBlock> block;
    RunningGear gear;
};

TEST_F(RunningGearTest, AdhesiveWeightAndGradientForce) {
    EXPECT_NEAR(gear.adhesiveWeight(), (12000.0 + 81500.0) * 9.81, 1.0);
    EXPECT_EQ(gear.gradientForce(), 0.0);
    block->gradient = 10;
    gear.prepareExchange(*block);
    const double alpha = std::atan(0.01);
    EXPECT_NEAR(gear.gradientForce(), gear.mass() * 9.81 * std::sin(alpha), 1e-6 * gear.gradientForce());
    EXPECT_NEAR(gear.adhesiveWeight(), (12000.0 + 81500.0) * 9.81 * std::cos(alpha), 1e-3);
}

TEST_F(RunningGearTest, SlipStartsAboveTheLimitAndEndsWithHysteresis) {
    gear.step(*block, 0.99 * adhesionLimit(), dt);
    EXPECT_FALSE(block->wheelSlip);
    gear.step(*block, 1.01 * adhesionLimit(), dt);
    EXPECT_TRUE(block->wheelSlip);
    EXPECT_GT(block->wheelSpeed, block->trainSpeed);

    // Between the sliding and the sticking limit the wheels keep spinning.
    for (int i = 0; i < 100; ++i) gear.step(*block, 0.9 * adhesionLimit(), dt);
    EXPECT_TRUE(block->wheelSlip);
    gear.step(*block, 0.6 * adhesionLimit(), dt);
    EXPECT_FALSE(block->wheelSlip);
    EXPECT_NEAR(block->wheelSpeed, block->trainSpeed, 1e-4);  // but for the rolling resistance of this step
}

TEST_F(RunningGearTest, SandRaisesTheLimit) {
    block->sandBonus = 0.05;
    gear.step(*block, 1.1 * adhesionLimit(), dt);
    EXPECT_FALSE(block->wheelSlip);
}

TEST_F(RunningGearTest, SlippingWheelsPullOnlyWithSlidingAdhesion) {
    const double before = block->trainSpeed;
    gear.step(*block, 2.0 * adhesionLimit(), dt);
    ASSERT_TRUE(block->wheelSlip);
    const double sliding = 0.68 * adhesionLimit();  // N
    EXPECT_NEAR(block->trainSpeed - before, sliding * dt / gear.mass() - dt * 0.003 * 9.81, speedTolerance);
}

TEST_F(RunningGearTest, OpenDrainCocksCutAdhesionRunningForward) {
    block->drainCocksOpen = true;
    block->valvesEngaged = true;
    gear.step(*block, 0.8 * adhesionLimit(), dt);
    EXPECT_TRUE(block->wheelSlip);
    block->wheelSlip = false;
    block->wheelSpeed = block->trainSpeed;
    block->valvesEngaged = false;  // no water from idle cylinders
    gear.step(*block, 0.8 * adhesionLimit(), dt);
    EXPECT_FALSE(block->wheelSlip);
}

TEST_F(RunningGearTest, NoRailEverTurnsTheWheelsAgainstTheTrain) {
    // Whatever friction or sand a track or a file hands the running gear,
    // a rolling train without steam keeps its wheels rolling with it.
    const double given[] = {-0.51, -1e300, std::nan(""), 20.76};
    for (double friction : given) {
        for (double sand : {0.0, -0.3}) {
            block->trainSpeed = block->wheelSpeed = 1.0;
            block->wheelSlip = false;
            block->frictionFactor = friction;
            block->sandBonus = sand;
            for (int i = 0; i < 10000; ++i) gear.step(*block, 0.0, dt);  // 1.5 s, regulator shut
            EXPECT_FALSE(block->wheelSlip) << friction << " " << sand;
            EXPECT_NEAR(block->wheelSpeed, block->trainSpeed, 1e-4) << friction << " " << sand;  // a rolling step apart
            EXPECT_GT(block->trainSpeed, 0.9) << friction << " " << sand;
        }
    }
}

TEST_F(RunningGearTest, FullBrakeLocksTheWheelsAServiceBrakeRolls) {
    block->trainSpeed = block->wheelSpeed = 10.0;
    block->brake = 100;
    gear.step(*block, 0.0, dt);
    EXPECT_GT(block->wheelSpeed, 0.0);
    EXPECT_EQ(block->wheelSpeed, block->trainSpeed);

    block->brake = 130;
    const double before = block->trainSpeed;
    gear.step(*block, 0.0, dt);
    EXPECT_EQ(block->wheelSpeed, 0.0);
    const double force = 1400.0 * 130 + 50000.0 - 2500.0 * 10.0;          // N
    const double deceleration = (0.72 * 0.25 + 0.3 - 0.1) * force / 95000.0;  // m/s²
    constexpr double decelerationTolerance = 0.01;                         // m/s²
    EXPECT_NEAR((before - block->trainSpeed) / dt, deceleration + 0.003 * 9.81, decelerationTolerance);

    // The brake stops the train but never reverses it.
    block->trainSpeed = block->wheelSpeed = 0.00005;
    gear.step(*block, 0.0, dt);
    EXPECT_EQ(block->trainSpeed, 0.0);
    EXPECT_EQ(block->wheelSpeed, 0.0);
}

TEST_F(RunningGearTest, StandingTrainHeldByBreakawayAndBrake) {
    block->trainSpeed = block->wheelSpeed = 0.0;
    block->acceleration = 0.0;
    gear.prepareExchange(*block);
    gear.step(*block, 0.9 * gear.mass() / 50.0, dt);  // below the breakaway resistance
    EXPECT_EQ(block->trainSpeed, 0.0);

    block->brake = 100;
    gear.step(*block, 0.0, dt);  // the brake force is now known
    gear.step(*block, 100000.0, dt);
    EXPECT_EQ(block->trainSpeed, 0.0);
    block->brake = 0;
    gear.step(*block, 0.0, dt);
    gear.step(*block, 100000.0, dt);
    EXPECT_GT(block->trainSpeed, 0.0);
}

TEST_F(RunningGearTest, ATrainFallingBackOnAnUpGradientStopsAtExactlyZero) {
    block->gradient = 10;
    block->trainSpeed = block->wheelSpeed = 0.005;
    block->acceleration = -0.1;
    gear.prepareExchange(*block);
    gear.step(*block, 1000.0, dt);
    EXPECT_EQ(block->trainSpeed, 0.0);
    EXPECT_EQ(block->wheelSpeed, 0.0);
}

TEST_F(RunningGearTest, TrainTakenUpVehicleByVehicleOrAtOnceUphill) {
    RunningGear level;
    block->trainWeight = 300;
    for (int vehicle = 0; vehicle <= 6; ++vehicle) {
        block->distance = 0.006 * vehicle;
        level.prepareExchange(*block);
        EXPECT_EQ(level.coupledTrainMass(), std::min(60000.0 * vehicle, 300000.0)) << "after " << vehicle;
    }
    block->distance += 0.004;  // less than 5 mm: nothing more
    level.prepareExchange(*block);
    EXPECT_EQ(level.coupledTrainMass(), 300000.0);

    // Stopping slackens the couplings: the next start takes them up again.
    block->trainSpeed = 0.0;
    level.prepareExchange(*block);
    block->trainSpeed = 1.0;
    level.prepareExchange(*block);
    EXPECT_EQ(level.coupledTrainMass(), 0.0);

    RunningGear uphill;
    block->gradient = 5;
    uphill.prepareExchange(*block);
    EXPECT_EQ(uphill.coupledTrainMass(), 300000.0);
    block->gradient = 4;  // not steeper than 4 per mille
    RunningGear gentle;
    gentle.prepareExchange(*block);
    EXPECT_EQ(gentle.coupledTrainMass(), 0.0);
}

TEST_F(RunningGearTest, WheelsTurnBackwardsRunningForward) {
    block->wheelAngle = 0.0001;
    block->wheelSpeed = 7.0;
    double degrees = 0.0;
    EXPECT_TRUE(gear.turnWheels(*block, dt, degrees));  // wrapped below zero
    EXPECT_NEAR(block->wheelAngle, 2.0 * std::numbers::pi + 0.0001 - 7.0 * dt / 0.7, 1e-12);
    EXPECT_NEAR(degrees, 7.0 * dt / 0.7 * 57.29577951, 1e-9);
    EXPECT_FALSE(gear.turnWheels(*block, dt, degrees));
    EXPECT_LT(block->carryingWheelAngle, 2.0 * std::numbers::pi);
    EXPECT_GE(block->carryingWheelAngle, 0.0);
}

}  // namespace
}  // namespace zt40
