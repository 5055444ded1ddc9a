#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine_fixtures.h"
#include "sim_speed.h"

namespace zt40 {
namespace {

// A drive with the model and the frame rules run inline on a virtual
// clock, as the headless runner drives it: 300 t on the level, cylinders
// warmed through (no condensate).
class AutoRun {
public:
    AutoRun()
        : drive_([](LocomotiveState& s) {
              s.trainWeight = 300;
              s.cylinderWallTemp = 400.0;  // K
          }) {}
    LocomotiveState& state() { return drive_.state(); }
    AutoControlSettings& settings() { return drive_.engine().autoControl(); }
    VirtualClock& clock() { return drive_.clock(); }
    Engine& engine() { return drive_.engine(); }
    // Runs until `seconds` of simulated time have passed; `each` sees every message turn.
    template <class Each>
    void runFor(double seconds, Each each) {
        const double end = state().simTime + seconds;
        while (state().simTime < end && !engine().damaged() && clock().runNext(engine())) each(state());
    }
    void runFor(double seconds) {
        runFor(seconds, [](const LocomotiveState&) {});
    }

private:
    testing::EngineDrive drive_;
};

constexpr double kmh = 1 / 3.6;  // m/s

void speedMode(AutoControlSettings& a, double targetSpeed) {
    a.controlOn = true;
    a.speedMode = true;
    a.targetSpeed = targetSpeed;
    a.targetPower = 3.1666667;  // kg/s, 57 kg/m²h
    a.backPressure = 500000.0;  // Pa
}

TEST(AutoControl, SpeedModeStartsFromRestAndHoldsTheSpeedOnTheLevel) {
    AutoRun run;
    speedMode(run.settings(), 40 * kmh);
    bool laidOutWithLeverCracked = false;
    run.runFor(90.0, [&](const LocomotiveState& s) {
        if (s.reverser == -160 && s.pilotValve == 1 && !s.valvesEngaged) laidOutWithLeverCracked = true;
    });
    EXPECT_TRUE(laidOutWithLeverCracked);
    double lowest = 1e9, highest = -1e9;  // m/s
    run.runFor(60.0, [&](const LocomotiveState& s) {
        lowest = std::min(lowest, s.trainSpeed);
        highest = std::max(highest, s.trainSpeed);
    });
    EXPECT_GT(lowest, 38 * kmh);
    EXPECT_LT(highest, 42 * kmh);
    EXPECT_EQ(run.state().brake, 0);
}

TEST(AutoControl, CounterPressureHoldsTheSpeedDownhillWithoutTheTrainBrake) {
    AutoRun run;
    run.state().gradient = -25;  // per mille, falling
    speedMode(run.settings(), 40 * kmh);
    run.runFor(100.0);
    double highest = 0.0;  // m/s
    int brakeUsed = 0;
    run.runFor(60.0, [&](const LocomotiveState& s) {
        highest = std::max(highest, s.trainSpeed);
        brakeUsed = std::max<int>(brakeUsed, s.brake);
    });
    const LocomotiveState& s = run.state();
    EXPECT_TRUE(s.blastPipeClosed);
    EXPECT_GT(s.reverser, 100);  // laid out against the direction of travel
    EXPECT_EQ(s.pilotValve, 0);
    EXPECT_GT(s.trainSpeed, 40 * kmh);
    EXPECT_LT(highest, 48 * kmh);
    EXPECT_EQ(brakeUsed, 0);
    EXPECT_EQ(run.clock().workshopDamage, Damage::none);
}

TEST(AutoControl, PowerModeHoldsTheSteamDraw) {
    AutoRun run;
    run.state().gradient = 10;
    run.settings().controlOn = true;
    run.settings().targetPower = 2.0;  // kg/s
    run.runFor(120.0);
    double lowest = 1e9, highest = 0.0;  // kg/s
    run.runFor(30.0, [&](const LocomotiveState& s) {
        lowest = std::min(lowest, s.boilerSteamDraw);
        highest = std::max(highest, s.boilerSteamDraw);
    });
    EXPECT_GT(lowest, 1.8);
    EXPECT_LT(highest, 2.2);
}

// Stopping with the train brake on a falling line, then setting back: the
// brake valve follows the control's commands, and the valves left on the
// rod at the stop fall free so that the direction can change.
TEST(AutoControl, StopsOnAFallingLineAndSetsBack) {
    AutoRun run;
    run.state().gradient = -10;
    speedMode(run.settings(), 20 * kmh);
    run.runFor(60.0);
    ASSERT_GT(run.state().trainSpeed, 15 * kmh);
    run.settings().targetSpeed = 0.0;
    run.runFor(120.0);
    EXPECT_NEAR(run.state().trainSpeed, 0.0, 0.05);
    EXPECT_GT(run.state().brake, 0);

    run.settings().reverseRequest = true;
    run.settings().targetSpeed = 10 * kmh;
    double slowest = 0.0;  // m/s
    run.runFor(120.0, [&](const LocomotiveState& s) { slowest = std::min(slowest, s.trainSpeed); });
    EXPECT_FALSE(run.settings().reverseRequest);
    EXPECT_LT(slowest, -5 * kmh);
    EXPECT_EQ(run.clock().workshopDamage, Damage::none);
}

TEST(AutoControl, StopEndsTheTimerAtItsFirstTick) {
    AutoRun run;
    speedMode(run.settings(), 40 * kmh);
    run.runFor(5.0);
    ASSERT_TRUE(run.clock().timerRuns(timer::autoControl));
    run.state().simSpeedCode = SimSpeed::stopCode;
    run.clock().run(run.engine(), 150);
    EXPECT_FALSE(run.clock().timerRuns(timer::autoControl));
}

// The control's rules, one step at a time on a record of its own.
class AutoControlStep : public ::testing::Test {
protected:
    AutoControlStep() {
        s.simSpeedCode = 0;
        settings.controlOn = true;
        settings.speedMode = true;
    }
    AutoControlEffects step(int times = 1) {
        AutoControlEffects effects;
        for (int i = 0; i < times; ++i) effects = control.step(s, settings);
        return effects;
    }
    LocomotiveState s{};
    AutoControlSettings settings;
    AutoControl control;
};

TEST_F(AutoControlStep, DirectionRequestsOnlyNearStandstillAtMidGear) {
    settings.reverseRequest = true;
    s.reverser = -6;
    step();
    EXPECT_TRUE(settings.reverseRequest);  // not at mid gear
    s.reverser = 0;
    s.trainSpeed = 1.5;
    step();
    EXPECT_TRUE(settings.reverseRequest);  // still moving
    s.trainSpeed = 0.5;
    s.reverser = 1;
    step();
    EXPECT_FALSE(settings.reverseRequest);
    EXPECT_FALSE(control.driveForward());
}

TEST_F(AutoControlStep, SlippingWheelsThrowTheLeverBackButNeverOpenIt) {
    s.trainSpeed = 8.0;
    s.wheelSpeed = 11.0;
    s.valvesEngaged = true;
    s.pilotValve = 80;
    settings.targetSpeed = 10.0;
    settings.targetPower = 3.0;
    step();
    EXPECT_EQ(s.pilotValve, 10);
    s.pilotValve = 0;
    settings.targetPower = 0.0;  // the lever stays shut by its own rules
    step();
    EXPECT_EQ(s.pilotValve, 0);
}

TEST_F(AutoControlStep, CounterPressureBrakingSetsInAndIsReleasedInOrder) {
    // Too fast with the valves floating: gear to mid, blast pipe shut,
    // throttle to half a turn, lever cracked.
    s.trainSpeed = 15.0;
    s.wheelSpeed = 15.0;
    s.reverser = -20;
    s.steamChest.pressure = 0.0;
    settings.targetSpeed = 10.0;
    settings.targetPower = 3.0;
    settings.backPressure = 500000.0;
    step(20);
    EXPECT_EQ(s.reverser, 0);
    EXPECT_FALSE(s.blastPipeClosed);
    step(15);
    EXPECT_TRUE(s.blastPipeClosed);
    EXPECT_EQ(s.counterPressureThrottle, 15);
    EXPECT_EQ(s.pilotValve, 0);
    step();
    EXPECT_EQ(s.pilotValve, 1);

    // Engaged: lever shut, gear backwards by 4 steps a tick.
    s.valvesEngaged = true;
    step(3);
    EXPECT_EQ(s.pilotValve, 0);
    EXPECT_EQ(s.reverser, 8);

    // Release: throttle wide open by 4 a tick, then the gear back to -1 by 2 a tick.
    s.reverser = 40;
    s.counterPressureThrottle = 15;
    settings.targetSpeed = 20.0;
    settings.backPressure = 0.0;
    step(22);
    EXPECT_EQ(s.counterPressureThrottle, 100);
    EXPECT_EQ(s.reverser, 38);
    step(20);
    EXPECT_EQ(s.reverser, 1);
    step();
    EXPECT_EQ(s.reverser, 1);

    // Floating again: injection, gear, throttle, then the blast pipe.
    s.valvesEngaged = false;
    s.cylinderWaterInjection = 2;
    s.reverser = 2;
    s.trainSpeed = 3.0;
    s.wheelSpeed = 3.0;
    settings.targetSpeed = 0.0;
    step(2);
    EXPECT_EQ(s.cylinderWaterInjection, 0);
    EXPECT_EQ(s.reverser, 2);
    step(2);
    EXPECT_EQ(s.reverser, 0);
    step(100);
    EXPECT_EQ(s.counterPressureThrottle, 0);
    step();
    EXPECT_FALSE(s.blastPipeClosed);
    EXPECT_FALSE(control.brakingPhase());
}

}  // namespace
}  // namespace zt40
