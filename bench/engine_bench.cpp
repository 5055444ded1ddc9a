// A whole drive through the engine, as the headless runner drives it: the
// model inline, the main tick with its operating aids and frame rules on a
// virtual clock. Reports simulated seconds per second of the machine.
#include <benchmark/benchmark.h>

#include "engine_fixtures.h"

namespace zt40 {
namespace {

// 300 t getting going on the level at real-time speed, then 30 % cut-off.
void driveAMinute(benchmark::State& state) {
    double simulated = 0.0;  // s
    for (auto _ : state) {
        testing::EngineDrive drive([](LocomotiveState& s) {
            s.trainWeight = 300;
            s.cylinderWallTemp = 400.0;  // K
        });
        testing::startAndNotchUp(drive);
        drive.run(54.0);
        simulated += drive->simTime;
        benchmark::DoNotOptimize(drive->trainSpeed);
    }
    state.counters["simulated s/s"] = benchmark::Counter(simulated, benchmark::Counter::kIsRate);
}
BENCHMARK(driveAMinute)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zt40

BENCHMARK_MAIN();
