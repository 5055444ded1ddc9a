// The sound output on the real audio path. Run by sound_smoke.sh, once
// without any sound server and once with a private server on a null sink.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

#include "engine_sound.h"
#include "qt_audio_stream.h"

namespace zt40 {
namespace {

void runEventLoop(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void expectRecordingsFromTheResources(const SoundPlayer& player) {
    for (const RecordingFormat& format : recordingFormats) {
        EXPECT_EQ(player.recording(format.id).sampleRate, format.sampleRate);
        EXPECT_EQ(static_cast<int>(player.recording(format.id).samples.size()), recordingLength(format));
    }
}

TEST(AudioStream, WithoutAServerTheProgramStaysSilentAndGoesOn) {
    QElapsedTimer clock;
    clock.start();
    SoundPlayer player;
    EngineSound sound(player);
    QtAudioStream stream(player);
    EXPECT_FALSE(stream.open());
    expectRecordingsFromTheResources(player);
    sound.startEngineLoop();
    runEventLoop(300);
    sound.playValveKnock();
    sound.stopAll(false);
    EXPECT_EQ(player.framesRendered(), 0);
    EXPECT_LT(clock.elapsed(), 5000);  // no hang waiting for a device
}

TEST(AudioStream, OnANullSinkTheEngineLoopIsPlayed) {
    SoundPlayer player;
    EngineSound sound(player);
    QtAudioStream stream(player);
    ASSERT_TRUE(stream.open());
    expectRecordingsFromTheResources(player);
    sound.startEngineLoop();
    // A null sink may take a second or two before it consumes; then it
    // takes the stream in real time.
    QElapsedTimer clock;
    clock.start();
    while (player.framesRendered() < SoundPlayer::outputRate / 2 && clock.elapsed() < 8000) runEventLoop(50);
    const auto before = player.framesRendered();
    runEventLoop(1000);
    const auto perSecond = player.framesRendered() - before;
    EXPECT_GT(perSecond, SoundPlayer::outputRate * 7 / 10);
    EXPECT_LT(perSecond, SoundPlayer::outputRate * 13 / 10);
    EXPECT_EQ(player.playing(), RecordingId::exhaust);
    EXPECT_GT(player.position(), 1.0);
    sound.stopAll(false);
    const auto stopped = player.framesRendered();
    runEventLoop(200);
    EXPECT_GT(player.framesRendered(), stopped);  // the stream runs on, silent
}

}  // namespace
}  // namespace zt40

int main(int argc, char* argv[]) {
    int result = 0;
    {
        QCoreApplication application(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    zt40::exitWithoutAudioTeardown(result);
}
