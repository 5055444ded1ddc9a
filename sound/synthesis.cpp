#include "synthesis.h"

#include <algorithm>

#include "numeric.h"

namespace zt40::synthesis {

namespace {

struct Angles {
    double w, alpha;
};

Angles angles(double rate, double frequency, double q) {
    const double w = 2 * pi * frequency / rate;
    return {w, std::sin(w) / (2 * q)};
}

}  // namespace

double Noise::next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    const std::uint64_t bits = (state_ * 0x2545F4914F6CDD1DULL) >> 11;  // 53 bits
    return static_cast<double>(bits) / 4503599627370496.0 - 1.0;        // 2^52
}

Biquad Biquad::lowPass(double rate, double frequency, double q) {
    const auto [w, alpha] = angles(rate, frequency, q);
    const double c = std::cos(w);
    return Biquad((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad Biquad::highPass(double rate, double frequency, double q) {
    const auto [w, alpha] = angles(rate, frequency, q);
    const double c = std::cos(w);
    return Biquad((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad Biquad::bandPass(double rate, double frequency, double q) {
    const auto [w, alpha] = angles(rate, frequency, q);
    return Biquad(alpha, 0, -alpha, 1 + alpha, -2 * std::cos(w), 1 - alpha);
}

std::vector<double> closeLoop(std::vector<double> x, std::size_t length, std::size_t fade) {
    for (std::size_t i = 0; i < fade; ++i) {
        const double w = (i + 0.5) / fade;
        x[i] = x[i] * std::sqrt(w) + x[length + i] * std::sqrt(1.0 - w);
    }
    x.resize(length);
    return x;
}

void fadeOutEnd(std::vector<double>& x, double rate, double seconds) {
    const double fade = seconds * rate;  // samples
    for (std::size_t i = 0; i < x.size(); ++i) x[i] *= std::min(1.0, static_cast<double>(x.size() - 1 - i) / fade);
}

Pcm toPcm(const std::vector<double>& x, int rate, double peak) {
    double largest = 1e-12;
    for (double v : x) largest = std::max(largest, std::fabs(v));
    Pcm pcm{rate, {}};
    pcm.samples.reserve(x.size());
    for (double v : x) pcm.samples.push_back(truncateTo<std::int16_t>(std::round(v / largest * peak * 32767.0)));
    return pcm;
}

std::size_t lengthOf(RecordingId id) { return static_cast<std::size_t>(recordingLength(formatOf(id))); }

}  // namespace zt40::synthesis
