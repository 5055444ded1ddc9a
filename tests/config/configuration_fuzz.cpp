// Fuzz target: any bytes as a configuration file. The reader, the
// validation and a save and reload must leave a record within its ranges
// whose text survives a second round unchanged, and the track walk over the
// loaded line must keep friction and gradient within the line's own rows.
// Built for libFuzzer under Clang (ZT40_LIBFUZZER), or driven by the seeded
// mutation loop of fuzz_driver.cpp.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "configuration.h"
#include "track_list.h"
#include "track_walker.h"

namespace {

using namespace zt40;

// Stops the run with the input kept by the fuzzer.
[[noreturn]] void broken(const char* what, double value = 0.0) {
    std::fprintf(stderr, "configuration fuzz: %s (%.17g)\n", what, value);
    std::abort();
}

void check(bool holds, const char* what, double value = 0.0) {
    if (!holds) broken(what, value);
}

// At most this many track points: a file of huge rows must not exhaust the machine.
class BoundedAllocator : public TrackAllocator {
public:
    TrackPoint* allocate() override { return left_-- > 0 ? TrackAllocator::allocate() : nullptr; }

private:
    int left_ = 200000;
};

struct Record {
    explicit Record(TrackAllocator& a) : allocator(a), state(std::make_unique<LocomotiveState>()) {
        constructSteamSpaces(*state);
        createFirstTrackPoint(*state, allocator);
    }
    ~Record() { freeTrackList(*state, allocator); }
    TrackAllocator& allocator;
    std::unique_ptr<LocomotiveState> state;
};

void checkRanges(const LocomotiveState& s) {
    check(s.frictionFactor > 0.0 && s.frictionFactor <= 0.4, "friction factor", s.frictionFactor);
    check(s.stepInterval >= 0.01 && s.stepInterval <= 0.1, "step interval", s.stepInterval);
    check(s.trainWeight >= 0 && s.trainWeight <= 5000, "train weight", s.trainWeight);
    check(s.ambientTemp >= 253 && s.ambientTemp <= 303, "ambient", s.ambientTemp);
    check(s.cylinderWallTemp >= s.ambientTemp && s.cylinderWallTemp <= 800.0, "cylinder", s.cylinderWallTemp);
    check(s.wheelAngle >= 0.00001 && s.wheelAngle <= 6.283185307179586, "wheel angle", s.wheelAngle);
    check(std::fabs(s.distance) <= 1e8 && s.simTime >= 0.0 && s.simTime <= 1e8, "distance or time", s.distance);
    check(s.maxGradient >= 0 && s.maxGradient <= 100, "maximum gradient", s.maxGradient);
}

void checkLine(const LocomotiveState& s) {
    for (const TrackPoint* p = s.trackHead; p && p->next; p = p->next) {
        check(p->next->prev == p, "broken link");
        if (p->next != s.trackTail) check(p->position < p->next->position, "line out of order", p->position);
    }
}

// The friction of the rows on either side of `d`.
bool frictionBetweenRows(const LocomotiveState& s, double d) {
    const TrackPoint* before = s.trackHead;
    while (before->next != s.trackTail && before->next->position <= d) before = before->next;
    const TrackPoint* after = before->next != s.trackTail && before->position <= d ? before->next : before;
    const double low = std::fmin(before->friction, after->friction);
    const double high = std::fmax(before->friction, after->friction);
    return s.frictionFactor >= low - 1e-6 && s.frictionFactor <= high + 1e-6;
}

void walk(LocomotiveState& s, TrackAllocator& allocator, double step, int ticks) {
    TrackWalker walker;
    Random15 random(7);
    s.trainSpeed = step > 0.0 ? 20.0 : -20.0;  // m/s
    for (int tick = 0; tick < ticks && !s.trackListFailed; ++tick) {
        s.distance += step;
        walker.tick(s, random, allocator);
        check(std::abs(s.gradient) <= s.maxGradient, "gradient beyond the maximum", s.gradient);
        check(s.frictionFactor >= 0.05 - 1e-6 && s.frictionFactor <= 0.3 + 1e-6, "friction off the rail", s.frictionFactor);
        if (!walker.beyondEnd() && !walker.beforeStart() && tick % 16 == 0) {
            check(frictionBetweenRows(s, s.distance), "friction beyond its rows", s.frictionFactor);
        }
    }
    checkLine(s);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    BoundedAllocator allocator;
    Random15 random(1);
    Record first(allocator);
    readConfiguration(std::string_view(reinterpret_cast<const char*>(data), size), *first.state, allocator);
    validateConfiguration(*first.state, true, random);
    ensureDefaultTrackPoint(*first.state, allocator);
    checkRanges(*first.state);
    checkLine(*first.state);

    // Saved and read again, the record writes the same text.
    const std::string text = configurationText(*first.state);
    Record second(allocator);
    readConfiguration(text, *second.state, allocator);
    ensureDefaultTrackPoint(*second.state, allocator);
    if (!first.state->trackListFailed && !second.state->trackListFailed) {
        check(configurationText(*second.state) == text, "a save and reload changed the text");
    }

    // The walk over the loaded line, on and back.
    first.state->trackAutomatic = !first.state->trackListFailed;
    walk(*first.state, allocator, 7.0, 1500);
    walk(*first.state, allocator, -7.0, 1500);
    return 0;
}
