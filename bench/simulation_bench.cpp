// Throughput of the locomotive model: sub-steps per second on one core.
#include <benchmark/benchmark.h>

#include <memory>

#include "gas_space.h"
#include "simulation_model.h"

namespace zt40 {
namespace {

std::unique_ptr<SimulationBlock> runningEngine() {
    auto block = std::make_unique<SimulationBlock>();
    constructSteamSpaces(*block);
    block->stepInterval = 0.015;
    block->fineTimer = true;
    block->simSpeedCode = 3;  // 10:1, 1000 sub-steps per exchange
    block->ambientTemp = 288;
    block->cylinderWallTemp = 450.0;
    return block;
}

void exchangeAtTenToOne(benchmark::State& state) {
    auto block = runningEngine();
    SimulationModel model;
    model.start(*block);
    for (auto _ : state) {
        model.runExchange(*block);
        benchmark::DoNotOptimize(block->simTime);
    }
    state.counters["substeps/s"] = benchmark::Counter(1000.0 * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(exchangeAtTenToOne);

// One port's worth of steam-space work: a flow, a mix and a wall exchange.
void steamSpaceOperations(benchmark::State& state) {
    GasSpace chest{true, 1200000.0, 0.0, 480.0, 0.1, 0.0};
    GasSpace cylinder{true, 0.0, 0.0, 420.0, 0.05, 0.0};
    massFromPressure(chest);
    massFromPressure(cylinder);
    double wall = 450.0;
    for (auto _ : state) {
        const double moved = flow(chest, cylinder, 0.002, 0.00015, false);
        mixTemperature(cylinder, chest.temperature, moved);
        wallHeatExchange(cylinder, wall, 0.00015, false, false);
        normalise(cylinder);
        // Refill and vent so every iteration does the same work.
        massFromPressure(chest);
        cylinder.steamMass = atmosphericMass(cylinder);
        benchmark::DoNotOptimize(wall);
    }
}
BENCHMARK(steamSpaceOperations);

}  // namespace
}  // namespace zt40

BENCHMARK_MAIN();
