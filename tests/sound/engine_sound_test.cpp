// The locomotive's sound as it comes out of the mixer, driven by the
// program's own engine on the virtual clock.
#include "engine_sound.h"

#include <gtest/gtest.h>

#include <functional>

#include "pcm_analysis.h"
#include "sound_fixtures.h"
#include "virtual_keys.h"

namespace zt40 {
namespace {

using testing::ListeningDrive;
using testing::Samples;
constexpr int rate = Mixer::outputRate;  // Hz

// A heavy train that hardly changes its speed while we listen, the
// regulator wide open, the cylinders warm.
std::function<void(LocomotiveState&)> runningAt(double kmh, int reverser) {
    return [=](LocomotiveState& s) {
        s.trainWeight = 1500;
        s.trainSpeed = kmh / 3.6;
        s.reverser = reverser;
        s.pilotValve = 115;
        s.cylinderWallTemp = 450.0;
    };
}

// Beats per wheel turn over `seconds` of the clock, and the beats per
// second heard; the beats must come four a turn within 5 %.
void expectFourBeatsATurn(ListeningDrive& d, double seconds) {
    const auto pcm = d.listen(seconds);
    const double due = 4.0 * d.turns() / seconds;  // beats per second of the clock
    ASSERT_GT(due, 0.5);
    EXPECT_NEAR(testing::beatRate(pcm, rate), due, 0.05 * due) << "at " << d.state().trainSpeed * 3.6 << " km/h";
}

TEST(EngineSound, TheBeatsComeFourAWheelTurnAt10_40And80Kmh) {
    const struct {
        double kmh;
        int reverser;  // as a driver notches up
    } runs[] = {{10.0, -100}, {40.0, -60}, {80.0, -40}};
    for (const auto& run : runs) {
        ListeningDrive d(runningAt(run.kmh, run.reverser));
        d.listen(3.0);
        expectFourBeatsATurn(d, 4.0);
    }
}

TEST(EngineSound, SlippingWheelsRaceTheBeats) {
    ListeningDrive d([](LocomotiveState& s) {
        runningAt(5.0, -160)(s);
        s.frictionFactor = 0.03;  // a greasy rail under full gear
    });
    d.listen(2.0);
    ASSERT_TRUE(d.state().wheelSlip);
    ASSERT_GT(d.state().wheelSpeed, 2.0 * d.state().trainSpeed);
    expectFourBeatsATurn(d, 3.0);
}

// At 1:10 to real time the beats keep with the wheels on the clock; faster,
// and at STOP, nothing is heard. The speed is set with the keys, as the
// driver sets it.
TEST(EngineSound, AtEverySpeedOfTheSimulationTheBeatsKeepWithTheWheelsOrNothingIsHeard) {
    for (int code = SimSpeed::stopCode; code <= SimSpeed::fastestCode; ++code) {
        SCOPED_TRACE(code);
        ListeningDrive d(runningAt(40.0, -60));
        d.listen(1.0);
        for (int i = 0; i < std::abs(code); ++i) d.press(code < 0 ? vk::divide : vk::multiply);
        ASSERT_EQ(d.state().simSpeedCode, code);
        d.listen(1.0);
        if (SimSpeed(static_cast<std::int8_t>(code)).engineHeard()) {
            expectFourBeatsATurn(d, 6.0);
        } else {
            EXPECT_EQ(testing::rms(d.listen(2.0)), 0.0);
        }
    }
}

TEST(EngineSound, AStandingEngineWithTheRegulatorShutDoesNotBeatAndItsBlowerHisses) {
    ListeningDrive d;
    d.listen(2.0);
    EXPECT_EQ(testing::rms(d.listen(3.0)), 0.0);  // nothing works: nothing is heard

    d.state().blowerSetting = 10;
    d.listen(1.0);
    const auto pcm = d.listen(3.0);
    EXPECT_GT(testing::rms(pcm), 0.01);
    EXPECT_LT(testing::beatDepth(pcm, rate), 0.15);
    EXPECT_EQ(testing::beatRate(pcm, rate), 0.0);
}

// The sound rules on records made by hand: a batch of the model's beats
// every tick, at `beatsPerSecond`, and what else the record says.
class SoundRules : public ::testing::Test {
protected:
    SoundRules() {
        testing::loadBuiltRecordings(mixer);
        s->simSpeedCode = 0;
        s->soundOn = s->windowFocused = true;
        s->blastPipeFlow = 3.0;  // kg/s
        s->boilerSteam.pressure = 1400000.0;
        sound.startEngineLoop();
    }
    std::vector<std::int16_t> listen(double seconds, double beatsPerSecond) {
        constexpr double tick = 0.014;  // s
        std::vector<std::int16_t> pcm;
        for (double t = 0.0; t < seconds; t += tick) {
            ExhaustBeats& batch = s->exhaustBeats;
            ++batch.batch;
            batch.span = tick;
            batch.count = 0;
            for (; nextBeat < clock + tick; nextBeat += 1.0 / beatsPerSecond) {
                batch.beats[batch.count++] = ExhaustBeat{nextBeat - clock, 0.15, 0.5, 1, false};
            }
            clock += tick;
            sound.update(*s);
            const std::size_t taken = feed.take(scenes);
            for (std::size_t i = 0; i < taken; ++i) mixer.take(scenes[i]);
            const std::size_t from = pcm.size();
            pcm.resize(from + static_cast<std::size_t>(tick * rate));
            mixer.render(std::span(pcm).subspan(from));
        }
        return pcm;
    }
    std::unique_ptr<LocomotiveState> s = std::make_unique<LocomotiveState>();
    SoundFeed feed;
    SoundFeed::Scenes scenes{};
    EngineSound sound{feed};
    Mixer mixer;
    double clock = 0.0, nextBeat = 0.0;  // s
};

TEST_F(SoundRules, TheSafetyValveBlowsOverTheWorkingEngineAndBothAreHeard) {
    listen(1.0, 8.0);
    const auto engine = listen(3.0, 8.0);
    s->safetyValveOpen = true;
    listen(0.5, 8.0);
    const auto both = listen(3.0, 8.0);
    EXPECT_NEAR(testing::beatRate(both, rate), 8.0, 0.4);  // the engine beats on
    EXPECT_GT(testing::rms(both), 1.25 * testing::rms(engine));  // and the valve roars over it
    EXPECT_GT(testing::beatDepth(engine, rate), 2.0 * testing::beatDepth(both, rate));
}

TEST_F(SoundRules, NoSteamThroughTheBlastPipeNoBeatAndShutItSwellsTheThrottle) {
    listen(0.5, 8.0);
    s->blastPipeFlow = -1.0;  // coasting: air is drawn in
    listen(1.0, 8.0);
    EXPECT_EQ(testing::rms(listen(2.0, 8.0)), 0.0);

    // Counter-pressure braking with the blast pipe shut: the exhaust's beats
    // swell the throttle's hiss.
    s->blastPipeFlow = 1.0;
    s->blastPipeClosed = true;
    s->counterPressureThrottleFlow = 1.0;
    listen(1.0, 8.0);
    const auto hiss = listen(3.0, 8.0);
    EXPECT_NEAR(testing::beatRate(hiss, rate), 8.0, 0.4);
    EXPECT_GT(mixer.loopGain(Loop::throttle), 0.0);
}

TEST_F(SoundRules, AKnockIsStruckOverWhateverSounds) {
    s->blastPipeFlow = 0.0;
    s->safetyValveOpen = true;
    listen(1.0, 8.0);
    const auto blowing = listen(1.0, 8.0);
    s->valveKnock = true;
    const auto knocked = listen(0.3, 8.0);
    EXPECT_FALSE(s->valveKnock);
    EXPECT_GT(testing::largestJump(knocked), 1.3 * testing::largestJump(blowing));  // the crack of the strike
    EXPECT_NEAR(testing::rms(listen(1.0, 8.0)), testing::rms(blowing), 0.1 * testing::rms(blowing));
}

// Each change of the fittings against the sound just before it.
TEST(EngineSound, EveryFittingIsHeardWhileItWorksAndOnlyThen) {
    const struct {
        const char* name;
        std::function<void(LocomotiveState&)> setUp;
        std::function<void(ListeningDrive&)> change;
        bool heard;
    } cases[] = {
        {"injector", nullptr, [](ListeningDrive& d) { d.state().injectorAutomatic = false, d.state().injectorRate = 120; }, true},
        {"drain cocks with steam in the chest",
         [](LocomotiveState& s) { s.pilotValve = 115, s.brake = 130, s.reverser = 0; },
         [](ListeningDrive& d) { d.press(vk::enter); }, true},
        {"drain cocks with the chest empty", nullptr, [](ListeningDrive& d) { d.press(vk::enter); }, false},
        {"brake shoes as the train comes to a stand",
         [](LocomotiveState& s) { s.trainSpeed = 2.0, s.trainWeight = 600; },
         [](ListeningDrive& d) { d.state().brake = 130; }, true},
        {"brake shoes on a standing train", nullptr, [](ListeningDrive& d) { d.state().brake = 130; }, false},
        {"brake shoes at 80 km/h", [](LocomotiveState& s) { s.trainSpeed = 22.0, s.trainWeight = 3000; },
         [](ListeningDrive& d) { d.state().brake = 100; }, false},
        {"whistle", nullptr, [](ListeningDrive& d) { d.engine().onKey(KeyMessage::keyDown, 'H'); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ListeningDrive d(c.setUp);
        d.listen(2.0);
        const double before = testing::rms(d.listen(0.5));
        c.change(d);
        const double after = testing::rms(d.listen(0.5));
        if (c.heard) EXPECT_GT(after, before + 0.005);
        else EXPECT_NEAR(after, before, 0.001);
    }
}

// Every way the sound stops and starts again, on an engine standing in
// steam with its blower and injector at work: the output fades out and in
// with no jump beyond those of the sound itself, and comes back no louder
// than it was.
TEST(EngineSound, StartsAndStopsFadeWithoutAJumpAndResumeWithoutABurst) {
    const struct {
        const char* name;
        std::function<void(ListeningDrive&)> stop, start;
    } ways[] = {
        {"key S", [](ListeningDrive& d) { d.press('S'); }, [](ListeningDrive& d) { d.press('S'); }},
        {"focus", [](ListeningDrive& d) { d.engine().onKillFocus(); }, [](ListeningDrive& d) { d.engine().onSetFocus(); }},
        {"2:1", [](ListeningDrive& d) { d.press(vk::multiply); }, [](ListeningDrive& d) { d.press(vk::divide); }},
        {"STOP",
         [](ListeningDrive& d) {
             for (int i = 0; i < 4; ++i) d.press(vk::divide);
         },
         [](ListeningDrive& d) {
             for (int i = 0; i < 4; ++i) d.press(vk::multiply);
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        ListeningDrive d([](LocomotiveState& s) {
            s.blowerSetting = 40;
            s.injectorAutomatic = false;
            s.injectorRate = 150;
        });
        d.listen(1.0);
        const auto steady = d.listen(1.0);
        const int bound = testing::largestJump(steady);
        const double level = testing::rms(steady);
        ASSERT_GT(level, 0.02);

        // The jump into the first sample heard after the change counts too.
        const auto jumpFrom = [](const std::vector<std::int16_t>& before, std::vector<std::int16_t> after) {
            after.insert(after.begin(), before.back());
            return testing::largestJump(after);
        };
        way.stop(d);
        const auto stopping = d.listen(0.5);
        EXPECT_LE(jumpFrom(steady, stopping), bound);
        EXPECT_GT(testing::rms(Samples(stopping).first(rate / 200)), 0.7 * level);  // not cut off
        EXPECT_EQ(testing::rms(Samples(stopping).last(rate / 10)), 0.0);           // but gone

        way.start(d);
        const auto starting = d.listen(1.0);
        EXPECT_LE(jumpFrom(stopping, starting), bound);
        EXPECT_LT(testing::rms(Samples(starting).first(rate / 100)), 0.5 * level);  // it glides in
        for (std::size_t ms = 0; ms < 100; ms += 5) {
            EXPECT_LT(testing::rms(Samples(starting).subspan(ms * rate / 1000, rate / 200)), 1.2 * level) << ms;
        }
        EXPECT_NEAR(testing::rms(Samples(starting).last(rate / 2)), level, 0.2 * level);
    }
}

TEST(Mixer, BeatsFallWhereTheScenesPutThemAndTheSumNeverClips) {
    Mixer mixer;
    testing::loadBuiltRecordings(mixer);
    SoundScene scene;
    scene.heard = true;
    scene.span = 0.2;
    scene.beatCount = 1;
    scene.beats[0] = Beat{0.1, 1.0, 1.0, false};
    mixer.take(scene);
    std::vector<std::int16_t> pcm(rate / 2);
    mixer.render(pcm);
    const auto first = std::find_if(pcm.begin(), pcm.end(), [](std::int16_t v) { return v != 0; }) - pcm.begin();
    EXPECT_NEAR(static_cast<double>(first) / rate, 0.05 + 0.1, 0.001);  // 50 ms ahead of the samples, then 0.1 s in

    // Everything at once, at full strength, beats piled on beats.
    scene.levels.fill(1.0);
    scene.beatCount = exhaustBeatCapacity;
    for (int i = 0; i < exhaustBeatCapacity; ++i) scene.beats[static_cast<std::size_t>(i)] = Beat{i * 0.002, 1.0, static_cast<double>(i % 2), false};
    scene.knocks = 3;
    int loudest = 0;
    for (int round = 0; round < 10; ++round) {
        mixer.take(scene);
        mixer.render(pcm);
        for (std::int16_t v : pcm) loudest = std::max(loudest, std::abs(int{v}));
    }
    EXPECT_GT(loudest, 25000);
    EXPECT_LT(loudest, 32200);  // the limiter bends the peaks below full scale
}

}  // namespace
}  // namespace zt40
