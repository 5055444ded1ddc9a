#pragma once
// The classic 15-bit pseudo-random generator (values 0 to 32767). The fresh
// start, the track generator, the regulator pressure point and the sand dips
// all draw from it, and the order of their draws is part of their behaviour,
// so the program carries its own generator instead of the platform's rand(),
// whose range differs between systems.

#include <cstdint>

namespace zt40 {

class Random15 {
public:
    static constexpr int max = 32767;

    explicit Random15(std::uint32_t seed = 1) : state_(seed) {}

    void seed(std::uint32_t seed) { state_ = seed; }
    // Where the sequence stands: seeding with it goes on from here.
    std::uint32_t state() const { return state_; }

    // Next value in 0..32767.
    int next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7fffu);
    }

private:
    std::uint32_t state_;
};

// Seed taken from the clock: (seconds x milliseconds of the current UTC
// time) / 1.832, truncated.
std::uint32_t clockSeed(int utcSecond, int utcMillisecond);

// clockSeed() of the current UTC time.
std::uint32_t clockSeedNow();

}  // namespace zt40
