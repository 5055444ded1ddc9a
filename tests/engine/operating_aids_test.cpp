#include "operating_aids.h"

#include <gtest/gtest.h>

#include <memory>

namespace zt40 {
namespace {

class OperatingAidsTest : public ::testing::Test {
protected:
    // Steps the brake until the command is reached; returns the steps taken
    // and the period chosen at the start.
    std::pair<int, int> brakeUntilReached() {
        int steps = 0;
        int period = 0;
        for (bool starting = true; steps < 1000; starting = false) {
            const int next = aids.brakeStep(*s, starting);
            if (next == 0) break;
            if (starting) period = next;
            ++steps;
        }
        return {steps, period};
    }
    std::unique_ptr<LocomotiveState> s = std::make_unique<LocomotiveState>();
    OperatingAids aids;
    Random15 random{1};
};

TEST_F(OperatingAidsTest, BrakeRatesWithAndWithoutARunningTrain) {
    s->brakeCommand = 19;
    EXPECT_EQ(brakeUntilReached(), std::make_pair(100, 20));  // 50 % per second standing
    s->brakeCommand = 0;
    EXPECT_EQ(brakeUntilReached(), std::make_pair(100, 25));  // 40 % per second
    s->trainWeight = 500;
    s->trainSpeed = 5.0;
    s->brakeCommand = 19;
    EXPECT_EQ(brakeUntilReached().second, 70);  // about 14 % per second
    s->brakeCommand = 0;
    EXPECT_EQ(brakeUntilReached().second, 250);  // 4 % per second
}

TEST_F(OperatingAidsTest, HoldStopsApplyEndsAt100OnlyFullReaches130) {
    s->brakeCommand = 29;
    brakeUntilReached();
    EXPECT_EQ(s->brake, 130);
    s->brakeCommand = 19;  // apply never lowers a brake above 100
    EXPECT_EQ(brakeUntilReached().first, 0);
    EXPECT_EQ(s->brake, 130);
    s->brakeCommand = 0;
    for (int i = 0; i < 40; ++i) aids.brakeStep(*s, i == 0);
    s->brakeCommand = 9;  // hold where it is
    EXPECT_EQ(brakeUntilReached().first, 0);
    EXPECT_EQ(s->brake, 90);
    s->brakeCommand = 19;
    brakeUntilReached();
    EXPECT_EQ(s->brake, 100);
}

TEST_F(OperatingAidsTest, InjectorTargetsByTheWaterLevel) {
    // Hand firing: 3 kg/s of steam is 180 l/min.
    s->boilerSteamDraw = 3.0;
    s->targetWaterLevel = 329;
    s->fineTimer = true;
    const auto settle = [&](double depth) {
        s->trueWaterDepth = depth;
        for (int i = 0; i < 400; ++i) aids.automaticInjector(*s);
        return static_cast<int>(s->injectorRate);
    };
    EXPECT_EQ(settle(329.0 - 6.0), 144);  // 6 mm above the wanted level: 0.8 of the steam
    EXPECT_EQ(settle(329.0), 177);        // exactly at it: 3 l/min below the steam
    EXPECT_EQ(settle(340.0), 183);        // below it: 3 l/min more
    s->trueWaterDepth = 470.0;
    aids.automaticInjector(*s);
    EXPECT_EQ(s->injectorRate, 250);  // nearly dry: full feed
    for (double depth : {475.0, 40.0}) {
        s->trueWaterDepth = depth;
        aids.automaticInjector(*s);
        EXPECT_EQ(s->injectorRate, 0) << depth;
    }
}

TEST_F(OperatingAidsTest, InjectorFollowsOneStepAndFasterDownInStandby) {
    s->boilerSteamDraw = 0.0;
    s->trueWaterDepth = 300.0;
    s->targetWaterLevel = 329;
    s->injectorRate = 100;
    s->fineTimer = true;
    aids.automaticInjector(*s);
    EXPECT_EQ(s->injectorRate, 99);
    s->fineTimer = false;
    aids.automaticInjector(*s);
    EXPECT_EQ(s->injectorRate, 79);
}

TEST_F(OperatingAidsTest, MainValveFollowsTheLever) {
    // Opening beyond 30 steps drags the main valve along at once.
    s->steamChest.pressure = 500000.0;
    s->pilotValve = 80;
    aids.regulatorFollowUp(*s, random);
    EXPECT_EQ(s->regulator, 50);

    // Closing with little pressure in the chest: the valve follows at once.
    s->steamChest.pressure = 50000.0;
    s->pilotValve = 60;
    aids.regulatorFollowUp(*s, random);
    EXPECT_EQ(s->regulator, 30);

    // With pressure it creeps, one step per 20 ticks.
    s->steamChest.pressure = 1000000.0;
    s->regulator = 85;  // more than 10 steps above the lever's lag
    s->pilotValve = 90;
    aids.regulatorFollowUp(*s, random);  // the lever moved: nothing to drag
    const int before = s->regulator;
    for (int i = 0; i < 40; ++i) aids.regulatorFollowUp(*s, random);
    EXPECT_EQ(s->regulator, before - 2);

    s->pilotValve = 0;  // lever shut
    aids.regulatorFollowUp(*s, random);
    EXPECT_EQ(s->regulator, 0);
}

TEST_F(OperatingAidsTest, AStandingEngineWithoutSteamIsNeverWatched) {
    s->sandSeconds = 1800.0;
    s->sandingOn = true;
    aids.sanding(*s, 0.015);
    s->sandingOn = false;
    aids.sanding(*s, 0.015);
    EXPECT_FALSE(s->sandTooShort);

    // Under steam with the wheels turning, stopping within 4.4 m is too short.
    s->sandingOn = true;
    s->steamChest.pressure = 500000.0;
    s->wheelSpeed = s->trainSpeed = 5.0;
    aids.sanding(*s, 0.015);
    s->distance += 2.0;
    s->sandingOn = false;
    aids.sanding(*s, 0.015);
    EXPECT_TRUE(s->sandTooShort);
}

TEST_F(OperatingAidsTest, SandingIntoSlippingWheelsIsNoticedOnTheFirstTick) {
    s->sandSeconds = 1800.0;
    s->trainSpeed = 3.0;
    s->wheelSpeed = 9.0;
    s->sandingOn = true;
    aids.sanding(*s, 0.015);
    EXPECT_TRUE(s->sandIntoSlip);
    s->sandIntoSlip = false;
    aids.sanding(*s, 0.015);  // only once per episode
    EXPECT_FALSE(s->sandIntoSlip);
}

TEST_F(OperatingAidsTest, SandRunsOutAfter1800Seconds) {
    s->sandSeconds = 1800.0;
    s->sandingOn = true;
    constexpr double dt = 1.0;
    for (int i = 0; i < 1799; ++i) aids.sanding(*s, dt);
    EXPECT_TRUE(s->sandRunning);
    aids.sanding(*s, dt);
    aids.sanding(*s, dt);
    EXPECT_EQ(s->sandSeconds, 0.0);
    EXPECT_FALSE(s->sandRunning);
    s->sandBonus = 0.2;
    aids.sandBonus(*s, 0.05, random);
    EXPECT_NEAR(s->sandBonus, 0.15, 1e-12);  // falls back at 1 per second
}

TEST_F(OperatingAidsTest, TheBonusFadesOver22MetresAfterSanding) {
    s->sandSeconds = 1800.0;
    s->steamChest.pressure = 500000.0;
    s->wheelSpeed = s->trainSpeed = 10.0;
    s->sandingOn = true;
    constexpr double dt = 0.015;
    for (int i = 0; i < 100; ++i) {
        aids.sanding(*s, dt);
        aids.sandBonus(*s, dt, random);
        s->distance += 0.15;
    }
    EXPECT_GT(s->sandBonus, 0.05);
    s->sandingOn = false;
    aids.sanding(*s, dt);
    s->distance += 11.0;  // half-way
    aids.sanding(*s, dt);
    EXPECT_TRUE(s->sandRunning);
    s->distance += 11.5;
    aids.sanding(*s, dt);
    aids.sanding(*s, dt);
    EXPECT_FALSE(s->sandRunning);  // faded out after 22 m
}

TEST_F(OperatingAidsTest, BonusRisesToItsTargetWithOccasionalDips) {
    s->sandSeconds = 1800.0;
    s->sandingOn = true;
    int dips = 0;
    double previous = 0.0;
    for (int i = 0; i < 200000; ++i) {
        aids.sanding(*s, 0.015);
        s->sandSeconds = 1800.0;
        aids.sandBonus(*s, 0.015, random);
        if (s->sandBonus < previous - 1e-9 && previous >= 0.2 - 1e-9) ++dips;
        previous = s->sandBonus;
        ASSERT_LE(s->sandBonus, 0.2 + 1e-12);
    }
    // 500 in 32768 per tick at the top: a dip every few hundred ticks.
    EXPECT_GT(dips, 20);
}

}  // namespace
}  // namespace zt40
