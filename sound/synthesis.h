#pragma once
// The tools the recordings are synthesised with: our own noise and
// filters, so the recordings come out the same on every machine and every
// build, and the joining of a loop's end to its beginning.

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "recordings.h"

namespace zt40::synthesis {

inline constexpr double pi = std::numbers::pi;

// White noise in [-1, 1) from a 64-bit xorshift generator of our own, so the
// recordings do not depend on the standard library's distributions.
class Noise {
public:
    explicit Noise(std::uint64_t seed) : state_(seed) {}
    double next();

private:
    std::uint64_t state_;
};

// Second-order filter section (audio-cookbook coefficients).
class Biquad {
public:
    static Biquad lowPass(double rate, double frequency, double q);
    static Biquad highPass(double rate, double frequency, double q);
    // Peak gain 1 at `frequency`.
    static Biquad bandPass(double rate, double frequency, double q);
    double operator()(double x) {
        const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
        x2_ = x1_, x1_ = x, y2_ = y1_, y1_ = y;
        return y;
    }

private:
    Biquad(double b0, double b1, double b2, double a0, double a1, double a2)
        : b0_(b0 / a0), b1_(b1 / a0), b2_(b2 / a0), a1_(a1 / a0), a2_(a2 / a0) {}
    double b0_, b1_, b2_, a1_, a2_;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// A loop is synthesised `fade` samples longer than it plays; the overhang is
// cross-faded into its beginning, so the end runs on into the start without
// a seam. Equal-power weights keep the level of uncorrelated noise.
std::vector<double> closeLoop(std::vector<double> x, std::size_t length, std::size_t fade);

// The last `seconds` fade out, so that a sound played once ends in silence.
void fadeOutEnd(std::vector<double>& x, double rate, double seconds);

// Scaled so that the loudest sample reaches `peak` of full scale.
Pcm toPcm(const std::vector<double>& x, int rate, double peak);

// Samples of the recording `id` is made with.
std::size_t lengthOf(RecordingId id);

// The recordings, by kind.
Pcm exhaustBeat();
Pcm softExhaustBeat();
Pcm throttle();
Pcm safetyValve();
Pcm blower();
Pcm injector();
Pcm drainCocks();
Pcm whistle();
Pcm valveKnock();
Pcm brakeShoes();

}  // namespace zt40::synthesis
