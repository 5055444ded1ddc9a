// The sound output on the real audio path. Run by sound_smoke.sh, once
// without any sound server and once with a private server on a null sink.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>

#include "engine_sound.h"
#include "qt_audio_stream.h"

namespace zt40 {
namespace {

void runEventLoop(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

TEST(AudioStream, WithoutAServerTheProgramStaysSilentAndGoesOn) {
    QElapsedTimer clock;
    clock.start();
    Mixer mixer;
    EXPECT_TRUE(loadRecordings(mixer));
    for (const RecordingFormat& format : recordingFormats) {
        EXPECT_EQ(mixer.recording(format.id).sampleRate, format.sampleRate);
        EXPECT_EQ(static_cast<int>(mixer.recording(format.id).samples.size()), recordingLength(format));
    }
    SoundFeed feed;
    EngineSound sound(feed);
    QtAudioStream stream(feed);
    EXPECT_FALSE(stream.open());
    sound.startEngineLoop();
    runEventLoop(300);
    sound.stopAll();
    EXPECT_EQ(stream.framesRendered(), 0);
    EXPECT_LT(clock.elapsed(), 5000);  // no hang waiting for a device
}

TEST(AudioStream, OnANullSinkTheMixerIsFedFromItsOwnThreadWhileTheMainThreadIsBusy) {
    SoundFeed feed;
    EngineSound sound(feed);
    QtAudioStream stream(feed);
    ASSERT_TRUE(stream.open());
    sound.startEngineLoop();
    // A null sink may take a second or two before it consumes; then it
    // takes the stream in real time.
    QElapsedTimer clock;
    clock.start();
    while (stream.framesRendered() < Mixer::outputRate / 2 && clock.elapsed() < 8000) runEventLoop(50);
    const auto before = stream.framesRendered();
    runEventLoop(1000);
    const auto perSecond = stream.framesRendered() - before;
    EXPECT_GT(perSecond, Mixer::outputRate * 7 / 10);
    EXPECT_LT(perSecond, Mixer::outputRate * 13 / 10);

    // The main thread stops answering for a while: the device is fed on.
    const auto blocked = stream.framesRendered();
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_GT(stream.framesRendered() - blocked, Mixer::outputRate / 2);

    sound.stopAll();
    const auto stopped = stream.framesRendered();
    runEventLoop(200);
    EXPECT_GT(stream.framesRendered(), stopped);  // the stream runs on, silent

    // The server stalls and then takes all it missed at once: the stream
    // runs dry, and that is counted.
    const char* server = std::getenv("ZT40_SOUND_SERVER_PID");
    ASSERT_NE(server, nullptr);
    const auto serverPid = static_cast<pid_t>(std::atoi(server));
    const int dryBefore = stream.underruns();
    ASSERT_EQ(::kill(serverPid, SIGSTOP), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(3 * QtAudioStream::defaultBufferMs));
    ASSERT_EQ(::kill(serverPid, SIGCONT), 0);
    for (int wait = 0; wait < 40 && stream.underruns() == dryBefore; ++wait) runEventLoop(50);
    EXPECT_GT(stream.underruns(), dryBefore);
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
