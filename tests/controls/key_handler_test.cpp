#include "key_handler.h"

#include <gtest/gtest.h>

#include <memory>

#include "virtual_keys.h"

namespace zt40 {
namespace {

using namespace vk;

class KeyHandlerTest : public ::testing::Test {
protected:
    void hold(int key, bool coarse = false) { keys.handle(KeyMessage::keyDown, key, *s, changed, coarse, sound); }
    void release(int key = 0) { keys.handle(KeyMessage::keyUp, key, *s, changed, false, sound); }
    void press(int key) {
        hold(key);
        release(key);
    }
    std::unique_ptr<LocomotiveState> s = std::make_unique<LocomotiveState>();
    KeyHandler keys;
    SilentSound sound;
    bool changed = false;
};

TEST_F(KeyHandlerTest, ShiftOpensAtTheRepeatRateControlWaitsForLatchedKeys) {
    for (int i = 0; i < 20; ++i) hold(shift);  // held: one step per repeat
    EXPECT_EQ(s->pilotValve, 20);
    hold(shift, true);  // after a wheel turn: three steps
    EXPECT_EQ(s->pilotValve, 23);
    for (int i = 0; i < 200; ++i) hold(shift);
    EXPECT_EQ(s->pilotValve, 115);

    hold('B');  // a latched key held as well
    for (int i = 0; i < 5; ++i) hold(control);
    EXPECT_EQ(s->pilotValve, 115);
    release('B');
    for (int i = 0; i < 5; ++i) hold(control);
    EXPECT_EQ(s->pilotValve, 110);
}

TEST_F(KeyHandlerTest, DetentsAtTheLevelAndAtMidGear) {
    s->gradient = -3;
    for (int i = 0; i < 10; ++i) hold(up);  // held
    EXPECT_EQ(s->gradient, 0);
    release(up);
    hold(up);
    EXPECT_EQ(s->gradient, 1);
    release(up);

    s->reverser = -6;
    for (int i = 0; i < 10; ++i) hold(left);
    EXPECT_EQ(s->reverser, 0);
    release(left);
    press(left);
    EXPECT_EQ(s->reverser, 2);

    s->reverser = -1;  // odd values never survive a step
    press(left);
    EXPECT_EQ(s->reverser, 2);
    s->reverser = 5;
    press(right);
    EXPECT_EQ(s->reverser, 2);

    s->trackAutomatic = true;  // the line sets the gradient then
    press(up);
    EXPECT_EQ(s->gradient, 1);
}

TEST_F(KeyHandlerTest, ReverserLimitsAndTheMovedFlag) {
    s->reverser = 158;
    press(left);
    EXPECT_EQ(s->reverser, 160);
    EXPECT_FALSE(s->reverserMoved);
    press(left);
    EXPECT_EQ(s->reverser, 160);
    s->valvesEngaged = true;
    press(right);
    EXPECT_EQ(s->reverser, 158);
    EXPECT_TRUE(s->reverserMoved);
}

TEST_F(KeyHandlerTest, LoadAndWaterOnlyAtAStandstill) {
    press(pageUp);
    EXPECT_EQ(s->trainWeight, 10);
    hold(pageUp, true);
    EXPECT_EQ(s->trainWeight, 40);
    press(insert);
    EXPECT_EQ(s->tankWater, 10.0);
    s->trainSpeed = 0.001;
    press(pageUp);
    press(pageDown);
    press(insert);
    EXPECT_EQ(s->trainWeight, 40);
    EXPECT_EQ(s->tankWater, 10.0);
}

TEST_F(KeyHandlerTest, InjectorKeysOnlyByHandFiringKeysAlways) {
    s->injectorAutomatic = true;
    press('X');
    EXPECT_EQ(s->injectorRate, 0);
    press('A');
    EXPECT_FALSE(s->injectorAutomatic);
    press('X');
    press('X');
    press('Y');
    EXPECT_EQ(s->injectorRate, 1);

    s->autoFiring = true;
    press('F');
    press('F');
    press('D');
    EXPECT_EQ(s->fireSetpoint, 1);
    s->fireRate = 64;
    press('G');  // to hand firing: it goes on where the automatic was
    EXPECT_FALSE(s->autoFiring);
    EXPECT_EQ(s->fireSetpoint, 64);
    press('G');
    EXPECT_EQ(s->fireSetpoint, 0);
}

TEST_F(KeyHandlerTest, SimulationSpeedFromStopAndToStop) {
    s->simSpeedCode = -4;
    s->soundOn = true;
    press(divide);
    EXPECT_EQ(s->simSpeedCode, -4);
    EXPECT_FALSE(changed);
    press(multiply);
    EXPECT_EQ(s->simSpeedCode, -3);
    EXPECT_TRUE(changed);
    EXPECT_TRUE(s->simHold);
    EXPECT_EQ(sound.loopStarts, 1);
    for (int i = 0; i < 10; ++i) press(multiply);
    EXPECT_EQ(s->simSpeedCode, 3);
    EXPECT_EQ(sound.stops, 1);  // silent from 2:1 on
    for (int i = 0; i < 10; ++i) press(divide);
    EXPECT_EQ(s->simSpeedCode, -4);
    EXPECT_EQ(sound.loopStarts, 2);  // back at real time
    EXPECT_EQ(sound.stops, 2);       // and at STOP
}

TEST_F(KeyHandlerTest, TogglesActOncePerPress) {
    for (int i = 0; i < 5; ++i) hold(vk::enter);  // Return held
    EXPECT_TRUE(s->drainCocksOpen);
    release(vk::enter);
    press(vk::enter);
    EXPECT_FALSE(s->drainCocksOpen);

    s->trackListFailed = true;
    press('T');
    EXPECT_FALSE(s->trackAutomatic);
    s->trackListFailed = false;
    press('T');
    EXPECT_TRUE(s->trackAutomatic);

    press('S');  // sound on, then off
    EXPECT_EQ(sound.loopStarts, 1);
    press('S');
    EXPECT_EQ(sound.stops, 1);
    EXPECT_TRUE(s->soundRestart);
    s->simSpeedCode = 2;  // at 5:1 nothing would adjust or stop a loop
    press('S');
    EXPECT_TRUE(s->soundOn);
    EXPECT_EQ(sound.loopStarts, 1);
}

TEST_F(KeyHandlerTest, TheWhistleBlowsWhileItsKeyIsHeldWhateverElseIsPressed) {
    hold('H');
    hold('H');  // the keyboard's repeat
    EXPECT_TRUE(s->whistleBlowing);
    press('B');  // another key goes down and up meanwhile
    for (int i = 0; i < 3; ++i) hold(shift);
    release(shift);
    EXPECT_TRUE(s->whistleBlowing);
    EXPECT_EQ(s->pilotValve, 3);
    release('H');
    EXPECT_FALSE(s->whistleBlowing);
}

TEST_F(KeyHandlerTest, AltCyclesTheDisplayAndTemperatureKeysOrderAReset) {
    keys.handle(KeyMessage::sysKeyDown, menu, *s, changed, false, sound);
    EXPECT_TRUE(s->textHidden);
    keys.handle(KeyMessage::sysKeyDown, menu, *s, changed, false, sound);  // held: once
    EXPECT_TRUE(s->textHidden);
    keys.handle(KeyMessage::sysKeyUp, menu, *s, changed, false, sound);
    keys.handle(KeyMessage::sysKeyDown, menu, *s, changed, false, sound);
    EXPECT_FALSE(s->textHidden);
    EXPECT_TRUE(s->indicatorShown);
    keys.handle(KeyMessage::sysKeyUp, menu, *s, changed, false, sound);
    keys.handle(KeyMessage::sysKeyDown, 'B', *s, changed, false, sound);  // Alt+B does nothing
    EXPECT_FALSE(s->blastPipeClosed);
    keys.handle(KeyMessage::sysKeyUp, 'B', *s, changed, false, sound);

    s->ambientTemp = 290;
    s->cylinderWallTemp = 750.0;
    press(tab);
    EXPECT_EQ(s->cylinderWallTemp, 773.0);
    EXPECT_TRUE(s->resetSpaces);
    s->cylinderWallTemp = 320.0;
    press(vk::backspace);
    EXPECT_EQ(s->cylinderWallTemp, 290.0);
}

TEST_F(KeyHandlerTest, AltAsAPlainKeyNudgesAnOpenLeverButNotPastFullyOpen) {
    s->pilotValve = 114;
    press(menu);
    EXPECT_EQ(s->pilotValve, 115);
    press(menu);
    EXPECT_EQ(s->pilotValve, 115);
    s->pilotValve = 0;  // a shut lever stays shut
    press(menu);
    EXPECT_EQ(s->pilotValve, 0);
}

TEST_F(KeyHandlerTest, RegulatorModeCyclesThroughFourSettings) {
    const bool expected[][2] = {{true, false}, {false, true}, {true, true}, {false, false}};
    for (const auto& mode : expected) {
        press('R');
        EXPECT_EQ(s->regulatorLighter, mode[0]);
        EXPECT_EQ(s->regulatorHeavier, mode[1]);
        EXPECT_EQ(s->hoverTarget, 43);
    }
}

TEST_F(KeyHandlerTest, PushingByHandStopsNearZero) {
    press('P');
    EXPECT_TRUE(s->simHold);
    EXPECT_NEAR(s->trainSpeed, 0.2, 1e-12);
    press('O');
    EXPECT_EQ(s->trainSpeed, 0.0);
}

}  // namespace
}  // namespace zt40
