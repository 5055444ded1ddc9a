#include "exhaust_beats.h"

#include <algorithm>
#include <cstdlib>

#include "gas_space.h"

namespace zt40 {

namespace {

// Steam that blows down from a space at `pressure` into one at `into`
// (both Pa over atmosphere), the temperature taken as unchanged.
double blowDown(double steamMass, double pressure, double into) {
    const double absolute = pressure + steam::atmosphere;  // Pa
    if (!(absolute > 0.0) || pressure <= into) return 0.0;
    return steamMass * (1.0 - (into + steam::atmosphere) / absolute);  // kg
}

}  // namespace

void BeatWatch::beginBatch(ExhaustBeats& beats) {
    ++beats.batch;
    beats.span = 0.0;
    beats.count = 0;
}

void BeatWatch::before(const CylinderSide& side, int sideIndex, const SimulationBlock& block) {
    exhaustPressure_ = block.exhaustSpace.pressure;
    chestPressure_ = block.steamChest.pressure;
    Space* spaces = spaces_[sideIndex];
    spaces[0].pressure = side.spaceA->pressure;
    spaces[0].steamMass = side.spaceA->steamMass;
    spaces[1].pressure = side.spaceB->pressure;
    spaces[1].steamMass = side.spaceB->steamMass;
}

void BeatWatch::after(const CylinderSide& side, int sideIndex, const SimulationBlock& block, bool compressorMode,
                      double time, ExhaustBeats& beats) {
    note(spaces_[sideIndex][0], side.portA, block, compressorMode, time, sideIndex, beats);
    note(spaces_[sideIndex][1], side.portB, block, compressorMode, time, sideIndex, beats);
}

void BeatWatch::note(Space& space, PortOpen opened, const SimulationBlock& block, bool compressorMode, double time,
                     int sideIndex, ExhaustBeats& beats) const {
    const PortOpen before = space.port;
    const bool seen = space.seen;
    space.port = opened;
    space.seen = true;
    if (opened == before || !seen) return;
    if (before == PortOpen::exhaust) space.keptFromExhaust = space.steamMass;
    if (before == PortOpen::steamChest) space.keptFromChest = space.steamMass;

    // The steam that leaves through the opened port in this stroke: all the
    // space holds but what it kept when that port last closed (the cushion
    // of the exhaust); until it has closed once, what blows down at once.
    const auto leaving = [&space](double kept, double into) {
        return kept >= 0.0 ? space.steamMass - kept : blowDown(space.steamMass, space.pressure, into);
    };
    double steam = 0.0;  // kg
    if (opened == PortOpen::exhaust) steam = leaving(space.keptFromExhaust, exhaustPressure_);
    else if (opened == PortOpen::steamChest && compressorMode) steam = leaving(space.keptFromChest, chestPressure_);
    if (!(steam > 0.0) || beats.count >= exhaustBeatCapacity) return;
    beats.beats[beats.count++] = ExhaustBeat{time, steam, std::min(std::abs(block.reverser), 160) / 200.0,
                                             static_cast<std::int8_t>(sideIndex + 1), opened == PortOpen::steamChest};
}

}  // namespace zt40
