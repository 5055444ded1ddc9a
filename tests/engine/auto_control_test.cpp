#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine_fixtures.h"
#include "numeric.h"
#include "sim_speed.h"
#include "virtual_keys.h"

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

// The closed loops at every simulation speed, 1:10 to 10:1: the control's
// timer and the model's time step differ at each.
class AutoControlAtEverySpeed : public ::testing::TestWithParam<int> {
protected:
    AutoControlAtEverySpeed() { run.state().simSpeedCode = static_cast<std::int8_t>(GetParam()); }
    // Steps per second of the clock the control is to take: ten per
    // simulated second.
    double tableRate() const {
        const double speedFactor[] = {0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0};  // simulated s per s
        return 10.0 * speedFactor[GetParam() + 3];
    }
    // Timer-13 steps per second of the clock over the next `seconds` of
    // simulated time.
    double stepsPerSecond(double seconds) {
        const int before = run.clock().fired[timer::autoControl];
        const std::int64_t from = run.clock().now;  // ms
        run.runFor(seconds);
        return (run.clock().fired[timer::autoControl] - before) * 1000.0 / (run.clock().now - from);
    }
    AutoRun run;
};

std::string speedName(const ::testing::TestParamInfo<int>& info) {
    const char* names[] = {"x1_10", "x1_5", "x1_2", "x1_1", "x2_1", "x5_1", "x10_1"};
    return names[info.param + 3];
}

INSTANTIATE_TEST_SUITE_P(Speeds, AutoControlAtEverySpeed, ::testing::Range(-3, 4), speedName);

// A light train: without the acceleration limit it runs well past the target.
TEST_P(AutoControlAtEverySpeed, StartsFromRestWithoutOvershootAndHoldsTheSpeed) {
    run.state().trainWeight = 100.0;
    speedMode(run.settings(), 40 * kmh);
    bool laidOutWithLeverCracked = false;
    double highest = 0.0;  // m/s
    run.runFor(150.0, [&](const LocomotiveState& s) {
        if (s.reverser == -160 && s.pilotValve == 1 && !s.valvesEngaged) laidOutWithLeverCracked = true;
        highest = std::max(highest, s.trainSpeed);
    });
    EXPECT_TRUE(laidOutWithLeverCracked);
    EXPECT_LT(highest, 43.8 * kmh);
    double lowest = 1e9;  // m/s
    run.runFor(30.0, [&](const LocomotiveState& s) {
        lowest = std::min(lowest, s.trainSpeed);
        highest = std::max(highest, s.trainSpeed);
    });
    EXPECT_GT(lowest, 38.5 * kmh);
    EXPECT_EQ(run.state().brake, 0);
}

// Counter-pressure braking down 25 per mille: the steam chest keeps the
// driver's "Maximaler Gegendruck", water injection keeps the chest cool,
// and what counter-pressure at the limit cannot hold the train brake takes.
TEST_P(AutoControlAtEverySpeed, CounterPressureKeepsTheLimitAndTheTrainBrakeTakesTheRest) {
    const struct {
        double weight;         // t
        double limit;          // Pa
    } cases[] = {{300.0, 500000.0}, {600.0, 800000.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.weight << " t, " << c.limit << " Pa");
        AutoRun downhill;
        LocomotiveState& s = downhill.state();
        s.simSpeedCode = static_cast<std::int8_t>(GetParam());
        s.trainWeight = c.weight;
        s.gradient = -25;  // per mille, falling
        speedMode(downhill.settings(), 40 * kmh);
        downhill.settings().backPressure = c.limit;
        // The chest as a gauge shows it, averaged over each simulated second
        // (the strokes make it swing by some 10 %).
        double sum = 0.0, hottest = 0.0, fastest = 0.0;  // Pa, K, m/s
        int samples = 0, second = 0, brakeUsed = 0, seconds = 0;
        double highestMean = 0.0, highestSettledMean = 0.0;  // Pa
        downhill.runFor(300.0, [&](const LocomotiveState& now) {
            if (!now.blastPipeClosed) return;
            if (truncateTo<int>(now.simTime) != second && samples > 0) {
                const double mean = sum / samples;
                highestMean = std::max(highestMean, mean);
                if (++seconds > 30) highestSettledMean = std::max(highestSettledMean, mean);
                sum = 0.0, samples = 0;
            }
            second = truncateTo<int>(now.simTime);
            sum += now.steamChest.pressure, ++samples;
            hottest = std::max(hottest, now.steamChestPyrometer);
            if (seconds > 30) fastest = std::max(fastest, now.trainSpeed);
            brakeUsed = std::max<int>(brakeUsed, now.brake);
        });
        EXPECT_GT(seconds, 200);  // braking with counter-pressure most of the run
        EXPECT_LT(highestSettledMean, 1.1 * c.limit);
        EXPECT_LT(highestMean, 1.25 * c.limit);  // as braking sets in
        EXPECT_LT(hottest, 523.0);               // K: 250 °C on the pyrometer
        EXPECT_LT(fastest, 50.5 * kmh);
        EXPECT_GT(brakeUsed, 0);
        EXPECT_TRUE(s.blastPipeClosed);
        EXPECT_GT(s.reverser, 100);  // laid out against the direction of travel
        EXPECT_EQ(s.pilotValve, 0);
        EXPECT_EQ(downhill.clock().workshopDamage, Damage::none);
    }
}

// The train brake holds the train on a rising line until steam holds it.
TEST_P(AutoControlAtEverySpeed, StartsUphillWithoutRollingBack) {
    LocomotiveState& s = run.state();
    s.trainWeight = 600.0;
    s.gradient = 10;  // per mille, rising
    s.brake = 100;
    s.brakeCommand = 19;
    speedMode(run.settings(), 40 * kmh);
    double slowest = 0.0;  // m/s
    run.runFor(90.0, [&](const LocomotiveState& now) { slowest = std::min(slowest, now.trainSpeed); });
    EXPECT_GT(slowest, -0.01);
    EXPECT_EQ(s.brake, 0);
    EXPECT_GT(s.trainSpeed, 0.1);
}

// A brake left on with the handle at release: the start lets it off.
TEST_P(AutoControlAtEverySpeed, StartingReleasesABrakeLeftOn) {
    LocomotiveState& s = run.state();
    s.trainWeight = 100.0;
    s.brake = 50;
    s.brakeCommand = 0;
    speedMode(run.settings(), 40 * kmh);
    run.runFor(60.0);
    EXPECT_EQ(s.brake, 0);
    EXPECT_GT(s.trainSpeed, 5 * kmh);
}

// The control steps every tenth of a simulated second, and every 30 ms of
// simulated time while the valves float: laying the reverser out at a
// standstill goes at a step per 30 ms at every speed.
TEST_P(AutoControlAtEverySpeed, StepsByTheSimulatedClock) {
    LocomotiveState& s = run.state();
    s.pilotValve = 1;  // cracked, so the window does not rest in standby
    speedMode(run.settings(), 40 * kmh);
    std::int64_t from = 0, to = 0;  // ms of the clock
    run.runFor(30.0, [&](const LocomotiveState& now) {
        if (from == 0 && now.reverser == -20) from = run.clock().now;
        if (to == 0 && now.reverser == -140) to = run.clock().now;
    });
    ASSERT_GT(to, from);
    EXPECT_NEAR(120 * 1000.0 / (to - from) / tableRate(), 10.0 / 3.0, 0.1);
    run.runFor(60.0);
    ASSERT_TRUE(s.valvesEngaged);
    EXPECT_NEAR(stepsPerSecond(20.0) / tableRate(), 1.0, 0.02);
}

// A new simulation speed restarts the timer at its period for that speed.
TEST_P(AutoControlAtEverySpeed, ASpeedChangeRestartsTheTimer) {
    speedMode(run.settings(), 40 * kmh);
    run.state().simSpeedCode = 0;
    run.runFor(60.0);
    ASSERT_TRUE(run.state().valvesEngaged);
    const int code = GetParam();
    for (int i = 0; i < std::abs(code); ++i) {
        run.engine().onKey(KeyMessage::keyDown, code > 0 ? vk::multiply : vk::divide);
        run.engine().onKey(KeyMessage::keyUp, code > 0 ? vk::multiply : vk::divide);
    }
    ASSERT_EQ(run.state().simSpeedCode, code);
    run.runFor(1.0);
    EXPECT_NEAR(stepsPerSecond(20.0) / tableRate(), 1.0, 0.02);
}

TEST_P(AutoControlAtEverySpeed, PowerModeHoldsTheSteamDraw) {
    run.state().gradient = 10;
    run.settings().controlOn = true;
    run.settings().targetPower = 2.0;  // kg/s
    run.runFor(120.0);
    double lowest = 1e9, highest = 0.0, sum = 0.0;  // kg/s
    int samples = 0;
    run.runFor(60.0, [&](const LocomotiveState& s) {
        lowest = std::min(lowest, s.boilerSteamDraw);
        highest = std::max(highest, s.boilerSteamDraw);
        sum += s.boilerSteamDraw, ++samples;
    });
    EXPECT_NEAR(sum / samples, 2.0, 0.1);
    // At 10:1 the main valve, which creeps after the lever by main ticks,
    // lags ten times as long in simulated time, and the draw swings wider.
    if (GetParam() == 3) return;
    EXPECT_GT(lowest, 1.8);
    EXPECT_LT(highest, 2.2);
}

// Stopping with the train brake on a falling line, then setting back: the
// brake valve follows the control's commands and the direction changes at
// the stop.
TEST_P(AutoControlAtEverySpeed, StopsOnAFallingLineAndSetsBack) {
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

// Standing, the control starts afresh as if the valves floated, but the
// valves themselves stay as steam holds them: taking them off the rod would
// leave the cylinders without force while the control opens the regulator.
TEST_F(AutoControlStep, StandingItStartsAfreshButLeavesTheValvesToTheSteam) {
    s.valvesEngaged = true;
    s.steamChest.pressure = 1000000.0;
    s.pilotValve = 40;
    settings.targetSpeed = 10.0;
    settings.targetPower = 3.0;
    step();
    EXPECT_EQ(s.reverser, -1);  // laying the gear out forward
    EXPECT_EQ(s.pilotValve, 1);
    EXPECT_TRUE(s.valvesEngaged);
}

// The steam draw the control sees follows the boiler's at 0.6 kg/s per
// simulated second and settles on it without overshooting or going below 0.
TEST_F(AutoControlStep, TheSmoothedSteamDrawSettlesOnTheDraw) {
    control.smoothSteamDraw(2.0, 1.0);
    EXPECT_DOUBLE_EQ(control.smoothedSteamDraw(), 0.6);
    for (int i = 0; i < 3; ++i) control.smoothSteamDraw(2.0, 1.0);
    EXPECT_DOUBLE_EQ(control.smoothedSteamDraw(), 2.0);
    control.smoothSteamDraw(1.9, 1.0);
    EXPECT_DOUBLE_EQ(control.smoothedSteamDraw(), 1.9);
    control.smoothSteamDraw(-1.0, 10.0);
    EXPECT_DOUBLE_EQ(control.smoothedSteamDraw(), 0.0);
}

// Automatic sanding as the driver chose it last, in the dialog ("Autosand")
// or by the key U, holds when the control is switched on.
TEST(AutoControl, AutoSandAsChosenLastHoldsWhenSwitchedOn) {
    const struct {
        bool dialog;   // "Autosand" chosen before switching on
        int keyPresses;  // U pressed before switching on
        bool expected;
    } cases[] = {{true, 0, true}, {false, 1, true}, {true, 2, true}, {false, 0, false}, {true, 1, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "dialog " << c.dialog << ", U " << c.keyPresses << " times");
        AutoRun run;
        for (int i = 0; i < c.keyPresses; ++i) {
            run.engine().onKey(KeyMessage::keyDown, 'U');
            run.engine().onKey(KeyMessage::keyUp, 'U');
        }
        run.settings().autoSand = c.dialog;
        speedMode(run.settings(), 40 * kmh);
        run.runFor(10.0);  // a standing engine ticks once a simulated second
        EXPECT_EQ(run.state().autoSanding, c.expected);
    }
    // Switched off, the key changes it; switched on again, the key's choice holds.
    AutoRun run;
    run.settings().autoSand = true;
    speedMode(run.settings(), 40 * kmh);
    run.runFor(10.0);
    run.settings().controlOn = false;
    run.runFor(1.0);
    run.engine().onKey(KeyMessage::keyDown, 'U');
    run.engine().onKey(KeyMessage::keyUp, 'U');
    run.settings().controlOn = true;
    run.runFor(10.0);
    EXPECT_FALSE(run.state().autoSanding);
    EXPECT_FALSE(run.settings().autoSand);
}

}  // namespace
}  // namespace zt40
