// What recording a drive costs, and how fast a recording replays.
//  - windowDrive: the same two minutes of keys, mouse, dialogs and every
//    speed through the window's logic (model inline, virtual clock), with
//    the recorder and without: seconds of the window's clock driven per
//    second of the machine.
//  - recorderSecondOfDriving: the recorder's own work for one second of
//    driving at 1:1 (71 main ticks, each looked at for dialog writes, and
//    the checkpoint with the hand-over to the writer's thread), as the
//    window does it, on a real file; its CPU time (the writer's thread
//    included) per second of driving is its share of a core.
//  - replayOfTheDrive / liveDrive: simulated seconds per second of the
//    machine, replaying the recording and driving it live.
#include <benchmark/benchmark.h>

#include <sstream>

#include "config_fixtures.h"
#include "drive_recorder.h"
#include "replay_run.h"
#include "window_drive.h"

namespace zt40 {
namespace {

namespace fs = std::filesystem;

struct DriveResult {
    double simulated = 0.0;  // s
    fs::path recording;
};

DriveResult driveOnce(const fs::path& folder, bool recorded) {
    testing::WindowDrive drive(recorded ? folder / "Fahrten" : fs::path(), testing::ModelThread::inline_);
    DriveResult result{0.0, drive.window->recordingFile()};
    drive.driveEverything();
    result.simulated = drive.window->state().simTime;
    drive.window->onDestroy();
    return result;
}

void windowDrive(benchmark::State& state) {
    const bool recorded = state.range(0) != 0;
    testing::TemporaryDirectory folder;
    double simulated = 0.0;  // s
    double clock = 0.0;      // s of the window's clock driven
    for (auto _ : state) {
        const DriveResult result = driveOnce(folder.path(), recorded);
        simulated += result.simulated;
        clock += 90.0;
        if (recorded) {
            state.PauseTiming();
            fs::remove(result.recording);
            state.ResumeTiming();
        }
    }
    state.counters["simulated s/s"] = benchmark::Counter(simulated, benchmark::Counter::kIsRate);
    state.counters["clock s/s"] = benchmark::Counter(clock, benchmark::Counter::kIsRate);
}
BENCHMARK(windowDrive)->ArgName("recorded")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(5.0);

void recorderSecondOfDriving(benchmark::State& state) {
    testing::TemporaryDirectory folder;
    auto record = std::make_unique<LocomotiveState>();
    AutoControlSettings settings;
    Random15 random(1);
    DriveRecorder recorder;
    DriveStart start;
    start.startedAt = "2024-05-01 14:03:22";
    if (auto problem = recorder.begin(folder.path() / "Fahrt.zt40fahrt", start, {*record, settings, random})) {
        state.SkipWithError(problem->c_str());
        return;
    }
    constexpr int ticksPerSecond = 1000 / 14;  // the running main tick's
    for (auto _ : state) {
        for (int tick = 0; tick < ticksPerSecond; ++tick) {
            recorder.timer(timer::mainTick);
            record->simTime += 0.014;  // s; the engine's work, which is no dialog's write
            recorder.afterEvent();
        }
        recorder.flush();
    }
    recorder.finish();
    // CPU seconds per second of driving: the recorder's share of a core.
    state.counters["core share"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate |
                                                                        benchmark::Counter::kInvert);
}
BENCHMARK(recorderSecondOfDriving)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

void replayOfTheDrive(benchmark::State& state) {
    testing::TemporaryDirectory folder;
    const DriveResult drive = driveOnce(folder.path(), true);
    double simulated = 0.0;  // s
    for (auto _ : state) {
        std::ostringstream csv, messages;
        ReplayRunOptions options;
        options.check = true;
        if (runReplay(drive.recording.string(), options, csv, messages) != 0) {
            state.SkipWithError(messages.str().c_str());
            return;
        }
        simulated += drive.simulated;
    }
    state.counters["simulated s/s"] = benchmark::Counter(simulated, benchmark::Counter::kIsRate);
}
BENCHMARK(replayOfTheDrive)->Unit(benchmark::kMillisecond)->MinTime(5.0);

}  // namespace
}  // namespace zt40

BENCHMARK_MAIN();
