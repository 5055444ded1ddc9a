#include "frame_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace zt40 {
namespace {

class FrameRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        copy = std::make_unique<LocomotiveState>();
        copy->displayScale = 5.0;
        copy->clientWidth = 1600;
        copy->clientHeight = 1170;
        copy->stepInterval = 0.015;
        copy->fineTimer = true;
        copy->wheelAngle = 1.0;
        logic = std::make_unique<FrameRules>(*copy);
    }
    // One whole frame; returns its damage.
    Damage frame() { return logic->run(*copy); }
    // Lets the valve heads float for `frames` frames with an empty chest.
    void floatHeads(int frames) {
        copy->steamChest.pressure = 0.0;
        copy->wheelSpeed = 1.0;
        for (int i = 0; i < frames; ++i) frame();
        ASSERT_FALSE(copy->valvesEngaged);
    }
    // Steam catches the floating heads at speed in full gear.
    Damage catchAtSpeed() {
        copy->steamChest.pressure = 600000.0;
        copy->wheelSpeed = 15.0;
        copy->reverser = -100;
        copy->pilotValve = 20;
        return frame();
    }
    std::unique_ptr<LocomotiveState> copy;
    std::unique_ptr<FrameRules> logic;
};

TEST_F(FrameRulesTest, ValveHeadsEngageWithSteamFloatWithoutAndAreCaught) {
    copy->steamChest.pressure = 60000.0;
    frame();
    EXPECT_TRUE(copy->valvesEngaged);
    const int gap = copy->valveHeadFrontX - copy->valveHeadRearX;
    EXPECT_NEAR(gap, (1319 - 675) / 5, 1);

    copy->steamChest.pressure = 500.0;
    copy->wheelSpeed = 2.0;
    frame();
    EXPECT_FALSE(copy->valvesEngaged);
    for (int i = 0; i < 50; ++i) {
        copy->wheelAngle += 0.2;
        frame();
        // Floating, the heads keep at least their own spacing.
        ASSERT_GE(copy->valveHeadFrontX - copy->valveHeadRearX, 468 / 5 - 1);
    }
    EXPECT_EQ(logic->state().floatFrames, 51);  // the frame that released them floats too

    copy->steamChest.pressure = 60000.0;
    frame();
    EXPECT_TRUE(copy->valvesEngaged);
    EXPECT_EQ(logic->state().floatFrames, 0);

    // Standing with a little steam left they stay up.
    copy->steamChest.pressure = 20000.0;
    copy->wheelSpeed = 0.0;
    frame();
    EXPECT_TRUE(copy->valvesEngaged);
}

TEST_F(FrameRulesTest, TheSixthCatchAtSpeedAfterLongFloatingBreaksAValve) {
    for (int catchNumber = 1; catchNumber <= 6; ++catchNumber) {
        floatHeads(100);
        const Damage damage = catchAtSpeed();
        EXPECT_EQ(logic->state().valveBreakCount, catchNumber);
        EXPECT_EQ(damage, catchNumber == 6 ? Damage::pistonValveBroken : Damage::none) << "catch " << catchNumber;
    }
    EXPECT_EQ(logic->state().warningState, Warning::valveMayBreak);
}

TEST_F(FrameRulesTest, AShortFloatOnlyFlutters) {
    floatHeads(20);
    EXPECT_EQ(catchAtSpeed(), Damage::none);
    EXPECT_EQ(logic->state().valveBreakCount, 0);
    EXPECT_EQ(logic->state().warningState, Warning::valveFlutter);
}

TEST_F(FrameRulesTest, SandIntoSlipSixTimesBreaksTheRunningGear) {
    for (int i = 1; i <= 6; ++i) {
        copy->sandIntoSlip = true;  // the exchange hands each event to one frame
        const Damage damage = frame();
        copy->sandIntoSlip = false;
        frame();
        EXPECT_EQ(damage, i == 6 ? Damage::runningGearBySanding : Damage::none);
    }
    EXPECT_EQ(logic->state().sandSlipCount, 6);
}

TEST_F(FrameRulesTest, HiddenTextsHideOverspeedCoverAndBoilerDamage) {
    copy->wheelSpeed = 33.0;
    copy->cylinderCoverBurst = true;
    copy->trueWaterDepth = 600.0;
    copy->textHidden = true;
    EXPECT_EQ(frame(), Damage::none);
    copy->textHidden = false;
    EXPECT_EQ(frame(), Damage::boilerExplosion);  // the last test of the frame wins
    copy->trueWaterDepth = 300.0;
    EXPECT_EQ(frame(), Damage::cylinderCoverBurst);
    copy->cylinderCoverBurst = false;
    EXPECT_EQ(frame(), Damage::overspeed);

    // 1 and 3 come first, whatever the texts.
    copy->wheelSpeed = 0.0;
    copy->textHidden = true;
    for (int i = 0; i < 6; ++i) {
        copy->sandIntoSlip = true;
        frame();
    }
    copy->sandIntoSlip = true;
    EXPECT_EQ(frame(), Damage::runningGearBySanding);
    copy->textHidden = false;
    copy->sandIntoSlip = true;
    copy->cylinderCoverBurst = true;
    EXPECT_EQ(frame(), Damage::cylinderCoverBurst);  // order 1, 3, 2, 4, 5
}

TEST_F(FrameRulesTest, ShakeStopsAboveAbout23MetresPerSecond) {
    copy->valvesEngaged = true;
    copy->steamChest.pressure = 600000.0;
    copy->reverser = 100;  // against the motion: braking by compression
    copy->wheelSpeed = 10.0;
    bool moved = false;
    for (int i = 0; i < 40; ++i) {
        logic->run(*copy);
        const FramePreparation& f = logic->preparation();
        moved = moved || f.anchorX != 160.0 || f.anchorY != 960.0;
        EXPECT_TRUE(logic->state().counterPressureMode);
    }
    EXPECT_TRUE(moved);
    copy->wheelSpeed = 24.0;  // period trunc(9.474 - 0.368 * 24) = 0
    for (int i = 0; i < 40; ++i) {
        logic->run(*copy);
        const FramePreparation& f = logic->preparation();
        ASSERT_EQ(f.anchorX, 160.0);
        ASSERT_EQ(f.anchorY, 960.0);
    }
}

TEST_F(FrameRulesTest, StopCountsNothing) {
    copy->fireRate = 80;
    copy->boilerPower = 742500.0;
    copy->distance = 100.0;
    frame();
    const double coal = logic->state().coalTotal;
    const double phase = logic->state().sleeperPhase;
    EXPECT_GT(coal, 0.0);
    copy->simSpeedCode = -4;
    copy->distance = 150.0;
    logic->run(*copy);
    const FramePreparation& f = logic->preparation();
    EXPECT_FALSE(f.accounted);
    EXPECT_EQ(logic->state().coalTotal, coal);
    EXPECT_EQ(logic->state().sleeperPhase, phase);

    // A held frame counts nothing either, and releases the hold.
    copy->simSpeedCode = 0;
    copy->simHold = true;
    logic->run(*copy);
    EXPECT_FALSE(logic->preparation().accounted);
    EXPECT_FALSE(copy->simHold);
}

TEST_F(FrameRulesTest, SleepersWrapByWholePitches) {
    // Ten pitches of 850 mm cover the 1600 px window at 5 mm per pixel.
    constexpr double wrap = 10 * 850.0 / 5.0;  // px
    const double pitch = 850.0 / 5.0;          // px
    double unwrapped = 0.0;                    // px
    for (int i = 0; i < 200; ++i) {
        copy->distance += 0.37;
        frame();
        unwrapped -= 0.37 * 1000.0 / 5.0;
        const double phase = logic->state().sleeperPhase;
        ASSERT_GT(phase, -wrap);
        ASSERT_LE(phase, copy->clientWidth);
        // Only whole pitches are ever added or taken away.
        const double pitches = (phase - unwrapped) / pitch;
        ASSERT_NEAR(pitches, std::round(pitches), 1e-6);
    }
}

TEST_F(FrameRulesTest, WarningsLastTheirFramesAndPrimingYieldsToSand) {
    copy->primingRate = 2.0;
    frame();
    EXPECT_EQ(logic->state().warningState, Warning::priming);
    copy->primingRate = 0.0;
    for (int i = 0; i < 98; ++i) frame();
    EXPECT_EQ(logic->state().warningState, Warning::priming);
    frame();
    EXPECT_EQ(logic->state().warningState, Warning::none);

    copy->sandTooShort = true;
    frame();
    copy->sandTooShort = false;
    copy->primingRate = 2.0;
    frame();
    EXPECT_EQ(logic->state().warningState, Warning::sandTooShort);
}

}  // namespace
}  // namespace zt40
