// The model on its own, exchange by exchange, as the simulation thread runs it.
#include <gtest/gtest.h>

#include <cmath>
#include <type_traits>

#include "indicator.h"
#include "model_fixtures.h"
#include "random15.h"
#include "simulation_model.h"
#include "state_flow.h"

namespace zt40 {
namespace {

TEST(IndicatorSampler, AfterBillionsOfStandingStepsTheFirstTurnIsSampledAtOnce) {
    auto block = testing::engineInSteam();
    CylinderSide side{&block->cylinder1SpaceA, &block->cylinder1SpaceB, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    IndicatorSampler sampler;
    sampler.setStepDegrees(0.0);  // the wheels stand: no point is ever due
    for (std::int64_t step = 0; step < (std::int64_t{1} << 31) + 2; ++step) sampler.sample(*block, side, 0.0, false);
    sampler.setStepDegrees(1.0);  // they turn
    block->indicatorIndex = -1;
    sampler.sample(*block, side, 0.0, false);
    EXPECT_EQ(block->indicatorIndex, 0);
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
    block->valvesEngaged = true;
    testing::runModel(model, *block, 3.0);
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
    void in(T ModelInputs::*) const {}
    template <class T>
    void out(T ModelResults::*field) const {
        if constexpr (std::is_same_v<T, double>) check(block.*field, "result");
        if constexpr (std::is_base_of_v<GasSpace, T>) check(block.*field, "space");
        if constexpr (std::is_same_v<T, EngineIndication>) {
            const EngineIndication& e = block.*field;
            for (const IndicatedFigures* f : {&e.side1, &e.side2, &e.engine}) {
                for (double v : {f->work, f->meanEffectivePressure, f->power, f->steamRate, f->steamPerKWh}) {
                    check(v, "indicated");
                }
            }
            check(e.rimPower, "rim power"), check(e.turnTime, "turn time");
        }
        if constexpr (std::is_same_v<T, BoilerBalance>) {
            const BoilerBalance& b = block.*field;
            for (double v : {b.steamMade, b.steamUsed, b.regulatorSteam, b.blowerSteam, b.injectorSteam,
                             b.safetyValveSteam, b.waterTrend}) {
                check(v, "balance");
            }
        }
        if constexpr (std::is_same_v<T, IndicatorSample[indicatorRingSize]>) {
            for (const IndicatorSample& p : block.*field) {
                for (double v : {p.pistonTravel, p.pressureB, p.pressureA, p.crankAngle, p.rimForce}) check(v, "indicator");
            }
        }
    }
    void both(double SharedValues::*field, double TwoWayMemory::*) const { check(block.*field, "two-way"); }
    void request(bool SharedValues::*) const {}
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
        block->valvesEngaged = pick(0, 3) != 0;
        if (block->tankWater < 1000.0) block->tankWater = 12000.0;  // a water stop
        const double until = block->simTime + pick(2, 8);
        while (block->simTime < until) {
            testing::runModel(model, *block, 0.015);
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

}  // namespace
}  // namespace zt40
