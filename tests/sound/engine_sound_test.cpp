#include "engine_sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "numeric.h"
#include "sound_fixtures.h"

namespace zt40 {
namespace {

class EngineSoundTest : public ::testing::Test {
protected:
    EngineSoundTest() {
        loadBuiltRecordings(player);
        s->soundOn = true;
        s->windowFocused = true;
    }
    // Lets the stream run for `seconds`; returns the loudest sample.
    int listen(double seconds) {
        std::vector<std::int16_t> pcm(truncateTo<std::size_t>(seconds * SoundPlayer::outputRate));
        player.render(pcm);
        int loudest = 0;
        for (std::int16_t v : pcm) loudest = std::max(loudest, std::abs(int{v}));
        return loudest;
    }
    void tick() { sound.update(*s); }

    SoundPlayer player;
    EngineSound sound{player};
    std::unique_ptr<LocomotiveState> s = std::make_unique<LocomotiveState>();
};

TEST_F(EngineSoundTest, TheLouderLoopPlaysAtItsLoudnessAndSwitchesOnlyWhenOvertaken) {
    sound.startEngineLoop();
    s->soundRestart = true;
    tick();  // no steam at all: the exhaust at the lowest volume
    EXPECT_EQ(player.playing(), RecordingId::exhaust);
    EXPECT_EQ(player.volume(), 5000);
    EXPECT_FALSE(s->soundRestart);

    s->blastPipeFlow = 3.0;  // kg/s
    tick();
    EXPECT_EQ(player.volume(), 35267);
    s->blastPipeFlow = 9.0;  // beyond full
    tick();
    EXPECT_EQ(player.volume(), 65535);

    // The throttle overtakes: one switch, then the throttle loop plays on.
    s->blastPipeFlow = 1.0;
    s->counterPressureThrottleFlow = 1.0;
    tick();
    EXPECT_EQ(player.playing(), RecordingId::throttle);
    EXPECT_EQ(player.volume(), 26214);
    listen(1.0);
    tick();
    EXPECT_EQ(player.playing(), RecordingId::throttle);
    EXPECT_NEAR(player.position(), 1.0, 0.01);  // not begun again

    // Back only when the exhaust is at least as loud.
    s->counterPressureThrottleFlow = 0.5;  // 13107 < 15089
    tick();
    EXPECT_EQ(player.playing(), RecordingId::exhaust);
    EXPECT_EQ(player.volume(), 15089);

    // With the blast pipe shut the exhaust steam leaves through the throttle.
    s->blastPipeClosed = true;
    s->blastPipeFlow = 2.0;
    s->counterPressureThrottleFlow = 0.0;
    tick();
    EXPECT_EQ(s->counterPressureThrottleFlow, 2.0);
    EXPECT_EQ(player.playing(), RecordingId::throttle);
    EXPECT_EQ(player.volume(), 52428);
}

TEST_F(EngineSoundTest, ARestartBeginsTheLoopAnewAndTheLoopRunsOnPastItsEnd) {
    sound.startEngineLoop();
    tick();
    listen(6.0);  // the 5.13 s loop wraps
    EXPECT_EQ(player.playing(), RecordingId::exhaust);
    EXPECT_NEAR(player.position(), 6.0 - 5.13, 0.01);
    tick();
    EXPECT_GT(player.position(), 0.8);
    s->soundRestart = true;  // the same loop, from its beginning
    tick();
    EXPECT_EQ(player.position(), 0.0);
    EXPECT_EQ(player.playing(), RecordingId::exhaust);
}

TEST_F(EngineSoundTest, TheSafetyValveSilencesBothLoopsAndTheExhaustComesBackAfterIt) {
    sound.startEngineLoop();
    s->counterPressureThrottleFlow = 2.0;
    tick();
    ASSERT_EQ(player.playing(), RecordingId::throttle);
    s->safetyValveOpen = true;
    tick();
    s->valveKnock = true;
    for (int i = 0; i < 20; ++i) {
        tick();
        listen(0.014);
        EXPECT_EQ(player.playing(), RecordingId::safetyValve);  // neither loop nor knock
    }
    EXPECT_EQ(player.volume(), 65535);
    EXPECT_TRUE(s->valveKnock);  // not taken while the valve blows

    s->safetyValveOpen = false;
    s->valveKnock = false;
    tick();
    EXPECT_EQ(player.playing(), RecordingId::exhaust);
    EXPECT_EQ(player.position(), 0.0);
    EXPECT_TRUE(s->soundRestart);
    tick();  // the mixer takes over again with a restart
    EXPECT_EQ(player.playing(), RecordingId::throttle);
    EXPECT_EQ(player.position(), 0.0);
}

TEST_F(EngineSoundTest, AKnockSilencesTheLoopUntilItEndsAndOnlyWhereTheLoopWouldBeHeard) {
    sound.startEngineLoop();
    tick();
    s->valveKnock = true;
    EXPECT_TRUE(sound.update(*s));  // the caller times 400 ms
    EXPECT_FALSE(s->valveKnock);
    EXPECT_EQ(player.playing(), RecordingId::valveKnock);
    EXPECT_EQ(player.volume(), 20000);
    for (int i = 0; i < 28; ++i) {  // 400 ms of ticks: the mixer keeps off
        tick();
        listen(0.014);
    }
    EXPECT_EQ(player.playing(), RecordingId::valveKnock);
    sound.knockEnded(*s);
    EXPECT_EQ(player.playing(), RecordingId::exhaust);
    EXPECT_EQ(player.position(), 0.0);
    EXPECT_TRUE(s->soundRestart);

    // Within the 400 ms the user switches off, loses the focus, speeds up,
    // or the safety valve lifts: the end of the knock starts no loop.
    const auto knockThen = [&](auto&& change) {
        s->soundOn = s->windowFocused = true;
        s->simSpeedCode = 0;
        s->safetyValveOpen = false;
        tick();
        s->valveKnock = true;
        ASSERT_TRUE(sound.update(*s));
        change();
        sound.knockEnded(*s);
        EXPECT_NE(player.playing(), RecordingId::exhaust);
        EXPECT_FALSE(sound.oneShotPlaying());
    };
    knockThen([&] { switchSound(*s, sound); });
    knockThen([&] {
        s->windowFocused = false;
        sound.stopAll(false);
    });
    knockThen([&] {
        s->simSpeedCode = 1;
        sound.stopAll(false);
    });
    knockThen([&] {
        s->safetyValveOpen = true;
        tick();
    });
    EXPECT_EQ(player.playing(), RecordingId::safetyValve);
}

TEST_F(EngineSoundTest, SwitchingOffLeavesFullVolumeOtherStopsRestoreTheSavedOne) {
    player.setVolume(40000);  // the stream as found
    EngineSound fresh(player);
    fresh.startEngineLoop();
    fresh.update(*s);
    switchSound(*s, fresh);  // off
    EXPECT_FALSE(s->soundOn);
    EXPECT_FALSE(player.playing().has_value());
    EXPECT_EQ(player.volume(), 65535);

    s->simSpeedCode = 1;  // on at 2:1: nothing would adjust or stop the loop
    switchSound(*s, fresh);
    EXPECT_TRUE(s->soundOn);
    EXPECT_FALSE(player.playing().has_value());
    s->simSpeedCode = -3;
    switchSound(*s, fresh);
    switchSound(*s, fresh);  // off and on again at 1:10
    EXPECT_EQ(player.playing(), RecordingId::exhaust);

    fresh.stopAll(false);  // focus lost, speed changed, damage, end
    EXPECT_FALSE(player.playing().has_value());
    EXPECT_EQ(player.volume(), 40000);
}

TEST_F(EngineSoundTest, ThePcmFollowsTheStreamVolumeAndAKnockEndsInSilence) {
    sound.startEngineLoop();
    sound.setVolume(65535);
    const int full = listen(1.0);
    sound.setVolume(5000);
    listen(0.01);  // the gain glides to its new value
    const int low = listen(1.0);
    EXPECT_NEAR(static_cast<double>(low) / full, 5000.0 / 65535.0, 0.03);

    sound.playValveKnock();
    const int knock = listen(0.42);
    EXPECT_NEAR(knock, 0.95 * 32767 * 20000 / 65535, 400);
    EXPECT_FALSE(player.playing().has_value());
    EXPECT_EQ(listen(0.1), 0);
}

}  // namespace
}  // namespace zt40
