// The sound on the real audio device through a drive at real time: the
// engine ticks on the main thread, the render thread draws every frame it
// is handed into an offscreen window-sized image, the mixer is fed from
// its own thread, and the stream counts the times the device ran dry.
// Reports underruns per minute and the share of the device's time the
// stream filled. Run it on a sound server of its own with the machine as
// busy as the measurement wants: bench/sound_underruns.sh does both.
//
//   zt40_sound_bench [--seconds=N] [--buffer-ms=N] [benchmark options]

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "engine_fixtures.h"
#include "engine_sound.h"
#include "qt_audio_stream.h"
#include "qt_canvas.h"
#include "threaded_render.h"

namespace zt40 {
namespace {

struct Options {
    int seconds = 60;
    int bufferMs = QtAudioStream::defaultBufferMs;
};

// 600 t getting going on the level with the regulator well open, the
// blower on, the injector feeding by hand and the drain cocks open: the
// beats and most loops sound together, and the main tick has its work.
void setUpDrive(LocomotiveState& s) {
    s.trainWeight = 600;
    s.cylinderWallTemp = 450.0;  // K
    s.reverser = -100;
    s.pilotValve = 80;
    s.blowerSetting = 20;
    s.injectorAutomatic = false;
    s.injectorRate = 120;
    s.drainCocksOpen = true;
}

// The window's frames, drawn as the window draws them but kept offscreen.
class OffscreenWindow final : public FrameTarget {
public:
    void drawFrame(const std::function<void(Canvas&)>& draw) override {  // render thread
        {
            QPainter painter(&image_);
            QtCanvas canvas(painter);
            draw(canvas);
        }
        ++frames_;
    }
    int frames() const { return frames_.load(); }

private:
    QImage image_{1600, 1170, QImage::Format_RGB32};
    std::atomic<int> frames_{0};
};

void underrunsOnTheDevice(benchmark::State& state, Options options) {
    for (auto _ : state) {
        SoundFeed feed;
        EngineSound sound(feed);
        QtAudioStream stream(feed, options.bufferMs);
        if (!stream.open()) {
            state.SkipWithError("no audio device");
            return;
        }
        OffscreenWindow window;
        testing::EngineDrive drive(setUpDrive, 1, std::make_unique<ThreadedRender>(window), &sound);
        drive.engine().onSetFocus();

        // A null sink takes a second or two before it consumes; from the
        // first half second it took on, it takes the stream in real time.
        for (int wait = 0; wait < 1000 && stream.framesRendered() < Mixer::outputRate / 2; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }

        // The virtual clock follows the machine's: each pass runs the
        // timers that have fallen due, as the window's message loop does.
        using Clock = std::chrono::steady_clock;
        const auto start = Clock::now();
        const auto end = start + std::chrono::seconds(options.seconds);
        const auto firstFrames = stream.framesRendered();
        const int firstPictures = window.frames();
        for (auto now = start; now < end; now = Clock::now()) {
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now - start).count();
            if (ms > drive.clock().now) drive.clock().run(drive.engine(), ms - drive.clock().now);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();  // s
        const auto fed = static_cast<double>(stream.framesRendered() - firstFrames);
        state.counters["underruns"] = stream.underruns();
        state.counters["underruns/min"] = 60.0 * stream.underruns() / elapsed;
        state.counters["fed %"] = 100.0 * fed / (Mixer::outputRate * elapsed);
        state.counters["frames/s"] = (window.frames() - firstPictures) / elapsed;
        state.counters["km/h"] = drive->trainSpeed * 3.6;
        state.counters["buffer ms"] = options.bufferMs;
    }
}

// Takes our own options out of the command line, leaving the benchmark's.
Options takeOptions(int& argc, char** argv) {
    const auto value = [](const std::string& arg, const std::string& name, int& into, int least) {
        if (arg.rfind(name, 0) != 0) return false;
        into = std::max(least, std::atoi(arg.c_str() + name.size()));
        return true;
    };
    Options options;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!value(arg, "--seconds=", options.seconds, 1) && !value(arg, "--buffer-ms=", options.bufferMs, 10)) {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    return options;
}

}  // namespace
}  // namespace zt40

int main(int argc, char** argv) {
    const zt40::Options options = zt40::takeOptions(argc, argv);
    int result = 0;
    {
        QGuiApplication application(argc, argv);
        benchmark::RegisterBenchmark("underrunsOnTheDevice", zt40::underrunsOnTheDevice, options)
            ->Iterations(1)
            ->UseRealTime()
            ->Unit(benchmark::kSecond);
        benchmark::Initialize(&argc, argv);
        if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
            result = 1;
        } else {
            benchmark::RunSpecifiedBenchmarks();
            benchmark::Shutdown();
        }
    }
    zt40::exitWithoutAudioTeardown(result);
}
