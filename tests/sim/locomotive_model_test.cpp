// The model driven whole, fire to rail, as the simulation thread runs it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <type_traits>

#include "indicator.h"
#include "model_fixtures.h"
#include "random15.h"
#include "simulation_model.h"
#include "state_flow.h"
#include "valve_engagement.h"

namespace zt40 {
namespace {

using testing::drive;

// Unwrapped change of the wheel angle over `seconds`, rad.
double wheelTurn(SimulationModel& model, SimulationBlock& block, double seconds) {
    double turned = 0.0;
    const double end = block.simTime + seconds;
    while (block.simTime < end) {
        const double before = block.wheelAngle;
        drive(model, block, 0.015);
        double change = block.wheelAngle - before;
        if (change > std::numbers::pi) change -= 2.0 * std::numbers::pi;
        if (change < -std::numbers::pi) change += 2.0 * std::numbers::pi;
        turned += change;
    }
    return turned;
}

TEST(LocomotiveModel, ForeGearStartsForwardBackGearBackward) {
    for (int reverser : {-160, 160}) {
        auto block = testing::engineInSteam();
        SimulationModel model;
        model.start(*block);
        block->reverser = reverser;
        block->pilotValve = 115;
        drive(model, *block, 10.0);
        EXPECT_TRUE(block->valvesEngaged);
        const double turned = wheelTurn(model, *block, 5.0);
        if (reverser < 0) {
            EXPECT_GT(block->trainSpeed, 0.3) << "fore gear";
            EXPECT_LT(turned, -1.0);  // the wheel angle falls running forward
        } else {
            EXPECT_LT(block->trainSpeed, -0.3) << "back gear";
            EXPECT_GT(turned, 1.0);
        }
        EXPECT_LT(block->distance * reverser, 0.0);  // travelled the same way
    }
}

// A point is due once the counter reaches (sub-steps per turn)/699 - 1, so
// whole sub-steps give between half and all of the 699 points a turn.
TEST(LocomotiveModel, TheIndicatorFillsItsRingOncePerRevolution) {
    for (bool side2 : {false, true}) {
        auto block = testing::engineInSteam();
        SimulationModel model;
        model.start(*block);
        block->reverser = -60;
        block->pilotValve = 40;
        block->indicatorSide = side2;
        drive(model, *block, 60.0);
        EXPECT_GT(block->trainSpeed, 5.0);
        EXPECT_GE(block->indicatorCount, 350) << "side 2: " << side2;
        EXPECT_LE(block->indicatorCount, indicatorRingSize);
        // The diagram lies in the client area, left of its x origin.
        const IndicatorPoint& crank = block->indicatorSamples[2][block->indicatorIndex];
        EXPECT_LT(crank.x, block->clientWidth);
        EXPECT_GT(crank.x, block->clientWidth - 3100 / 5);
    }
}

TEST(IndicatorSampler, AfterBillionsOfStandingStepsTheFirstTurnIsSampledAtOnce) {
    auto block = testing::engineInSteam();
    block->displayScale = 5.0;
    block->clientWidth = 1600;
    CylinderSide side{&block->cylinder1SpaceA, &block->cylinder1SpaceB, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    IndicatorSampler sampler;
    sampler.setStepDegrees(0.0);  // the wheels stand: no point is ever due
    for (std::int64_t step = 0; step < (std::int64_t{1} << 31) + 2; ++step) sampler.sample(*block, side, 0.0, false);
    sampler.setStepDegrees(1.0);  // they turn
    block->indicatorIndex = -1;
    sampler.sample(*block, side, 0.0, false);
    EXPECT_EQ(block->indicatorIndex, 0);
}

TEST(LocomotiveModel, LightEngineSettlesToASteadySpeedOnTheLevel) {
    auto block = testing::engineInSteam();
    SimulationModel model;
    model.start(*block);
    block->reverser = -60;
    block->pilotValve = 40;
    drive(model, *block, 100.0);
    const double firstGain = block->trainSpeed;  // m/s in the first 100 s
    drive(model, *block, 400.0);
    const double before = block->trainSpeed;
    drive(model, *block, 100.0);
    EXPECT_GT(firstGain, 5.0);
    EXPECT_LT(block->trainSpeed - before, 0.1 * firstGain);  // the cylinders' back pressure balances
    EXPECT_FALSE(block->wheelSlip);
}

TEST(LocomotiveModel, CounterPressureBrakeHoldsATrainOnTheDownGradient) {
    auto block = testing::engineInSteam();
    block->trainWeight = 300;
    block->gradient = -20;
    block->trainSpeed = block->wheelSpeed = 12.0;
    block->valvesEngaged = true;
    SimulationModel model;
    model.start(*block);
    block->reverser = 100;  // laid against the motion
    block->blastPipeClosed = true;
    block->counterPressureThrottle = 20;
    block->cylinderWaterInjection = 20;
    drive(model, *block, 120.0);
    const double held = block->trainSpeed;
    double lowest = held, highest = held;
    for (int i = 0; i < 180; ++i) {
        drive(model, *block, 1.0);
        lowest = std::min(lowest, block->trainSpeed);
        highest = std::max(highest, block->trainSpeed);
        // The compressed steam holds the chest at the throttle's working pressure.
        ASSERT_GT(block->steamChest.pressure, 400000.0);
        ASSERT_GT(block->counterPressureThrottleFlow, 0.0);
    }
    // Unbraked, 20 per mille would add some 35 m/s in these three minutes.
    EXPECT_GT(lowest, 3.0);
    EXPECT_LT(highest - lowest, 3.0);
}

TEST(LocomotiveModel, WaterInjectionTakesBoilerWaterByTheGram) {
    auto injected = testing::engineInSteam();
    auto reference = testing::engineInSteam();
    // Warm cylinders hold superheated air-pressure steam, which the spray cools.
    injected->cylinderWallTemp = reference->cylinderWallTemp = 450.0;
    SimulationModel injectedModel, referenceModel;
    injectedModel.start(*injected);
    referenceModel.start(*reference);
    injected->cylinderWaterInjection = 40;  // g/s
    injectedModel.runExchange(*injected);
    referenceModel.runExchange(*reference);
    // 40 g/s for the 0.015 s of one exchange; the boiler's answer to the
    // lower level adds a trace.
    constexpr double massTolerance = 1e-5;  // kg
    EXPECT_NEAR(reference->boilerSteam.waterMass - injected->boilerSteam.waterMass, 40 * 0.015 / 1000.0,
                massTolerance);
    // The spray cools the working spaces towards saturation, by far more
    // than rounding could move them.
    EXPECT_LT(injected->cylinder1SpaceA.temperature, reference->cylinder1SpaceA.temperature - 1.0);
}

TEST(LocomotiveModel, PeakPressureIsTheHighestWorkingSpaceInWholeBar) {
    auto block = testing::engineInSteam();
    SimulationModel model;
    model.start(*block);
    block->reverser = -160;
    block->pilotValve = 115;
    drive(model, *block, 3.0);
    const double highest = std::max({block->cylinder1SpaceA.pressure, block->cylinder1SpaceB.pressure,
                                     model.cylinder2SpaceA().pressure, model.cylinder2SpaceB().pressure});
    EXPECT_EQ(block->peakCylinderPressure, static_cast<int>(highest / 100000.0));
    EXPECT_GT(block->peakCylinderPressure, 0);
}

// Checks every number of the block that the model writes.
struct SoundnessCheck {
    const SimulationBlock& block;

    void check(double value, const char* what) const { ASSERT_TRUE(std::isfinite(value)) << what; }
    void check(const GasSpace& space, const char* what) const {
        check(space.pressure, what), check(space.temperature, what), check(space.volume, what);
        ASSERT_TRUE(std::isfinite(space.steamMass) && space.steamMass >= 0.0) << what << " steam " << space.steamMass;
        ASSERT_TRUE(std::isfinite(space.waterMass) && space.waterMass >= 0.0) << what << " water " << space.waterMass;
    }
    template <class T>
    void in(T SimulationBlock::*) const {}
    template <class T>
    void out(T SimulationBlock::*field) const {
        if constexpr (std::is_same_v<T, double>) check(block.*field, "result");
        if constexpr (std::is_base_of_v<GasSpace, T>) check(block.*field, "space");
    }
    void both(double SimulationBlock::*field, double TwoWayMemory::*) const { check(block.*field, "two-way"); }
    void request(bool SimulationBlock::*) const {}
};

TEST(LocomotiveModel, AnHourOfRandomDrivingKeepsEveryValueSound) {
    auto block = testing::engineInSteam();
    block->trainWeight = 400;
    SimulationModel model;
    model.start(*block);
    Random15 random(4711);
    auto pick = [&](int low, int high) { return low + random.next() % (high - low + 1); };
    const double hour = 3600.0;  // s
    while (block->simTime < hour) {
        // A driver who does anything at all, every few seconds.
        block->reverser = pick(-160, 160);
        block->pilotValve = static_cast<std::int8_t>(pick(0, 115));
        block->regulator = static_cast<std::int8_t>(pick(0, 3) == 0 ? pick(0, 120) : 0);
        block->brake = static_cast<std::uint8_t>(pick(0, 2) == 0 ? pick(0, 130) : 0);
        block->injectorRate = static_cast<std::uint8_t>(pick(0, 200));
        block->autoFiring = pick(0, 1);
        block->fireSetpoint = static_cast<std::int8_t>(pick(0, 100));
        block->blowerSetting = static_cast<std::int8_t>(pick(0, 20));
        block->drainCocksOpen = pick(0, 3) == 0;
        block->blastPipeClosed = pick(0, 3) == 0;
        block->counterPressureThrottle = static_cast<std::int8_t>(pick(0, 40));
        block->cylinderWaterInjection = static_cast<std::int8_t>(pick(0, 3) == 0 ? pick(0, 60) : 0);
        block->gradient = static_cast<std::int8_t>(pick(-40, 40));
        block->sandBonus = pick(0, 4) == 0 ? 0.1 : 0.0;
        block->indicatorSide = pick(0, 1);
        if (block->tankWater < 1000.0) block->tankWater = 12000.0;  // a water stop
        const double until = block->simTime + pick(2, 8);
        while (block->simTime < until) {
            drive(model, *block, 0.015);
            ASSERT_GE(block->indicatorIndex, 0);
            ASSERT_LT(block->indicatorIndex, indicatorRingSize);
            ASSERT_GE(block->indicatorCount, 0);
            ASSERT_LE(block->indicatorCount, indicatorRingSize);
            visitSimulationFlow(SoundnessCheck{*block});
            SoundnessCheck{*block}.check(model.superheater(), "superheater");
            SoundnessCheck{*block}.check(model.cylinder2SpaceA(), "side 2 A");
            SoundnessCheck{*block}.check(model.cylinder2SpaceB(), "side 2 B");
            if (::testing::Test::HasFatalFailure()) return;
        }
    }
}

TEST(LocomotiveModel, TheSameDriveGivesTheSameStateToTheBit) {
    auto first = testing::engineInSteam();
    auto second = testing::engineInSteam();
    SimulationModel a, b;
    a.start(*first);
    b.start(*second);
    for (SimulationBlock* block : {first.get(), second.get()}) {
        block->reverser = -100;
        block->pilotValve = 100;
        block->trainWeight = 200;
    }
    drive(a, *first, 30.0);
    drive(b, *second, 30.0);
    EXPECT_EQ(std::memcmp(first.get(), second.get(), sizeof(SimulationBlock)), 0);
    EXPECT_GT(first->trainSpeed, 0.0);
}

}  // namespace
}  // namespace zt40
