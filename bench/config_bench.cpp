// Loading a configuration file whose track rows come in no order.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

#include "configuration.h"
#include "track_list.h"

namespace {

void loadUnsortedRows(benchmark::State& run) {
    std::mt19937 draw(7);
    std::string text = "Streckendaten:\r\n";
    for (int i = 0; i < run.range(0); ++i) {
        text += std::to_string(draw() % 100000000) + ".5;0.25;" + std::to_string(draw() % 41) + "\r\n";
    }
    zt40::TrackAllocator allocator;
    for (auto _ : run) {
        auto state = std::make_unique<zt40::LocomotiveState>();
        zt40::createFirstTrackPoint(*state, allocator);
        zt40::readConfiguration(text, *state, allocator);
        benchmark::DoNotOptimize(state->trackTail);
        zt40::freeTrackList(*state, allocator);
    }
    run.SetItemsProcessed(run.iterations() * run.range(0));
}
BENCHMARK(loadUnsortedRows)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
