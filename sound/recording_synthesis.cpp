#include "recording_synthesis.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "numeric.h"

namespace zt40 {

namespace {

constexpr double pi = std::numbers::pi;

// White noise in [-1, 1) from a 64-bit xorshift generator of our own, so the
// recordings do not depend on the standard library's distributions.
class Noise {
public:
    explicit Noise(std::uint64_t seed) : state_(seed) {}
    double next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        const std::uint64_t bits = (state_ * 0x2545F4914F6CDD1DULL) >> 11;  // 53 bits
        return static_cast<double>(bits) / 4503599627370496.0 - 1.0;        // 2^52
    }

private:
    std::uint64_t state_;
};

// Second-order filter section (audio-cookbook coefficients).
class Biquad {
public:
    static Biquad lowPass(double rate, double frequency, double q) {
        const auto [w, alpha] = angles(rate, frequency, q);
        const double c = std::cos(w);
        return Biquad((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha);
    }
    static Biquad highPass(double rate, double frequency, double q) {
        const auto [w, alpha] = angles(rate, frequency, q);
        const double c = std::cos(w);
        return Biquad((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha);
    }
    // Peak gain 1 at `frequency`.
    static Biquad bandPass(double rate, double frequency, double q) {
        const auto [w, alpha] = angles(rate, frequency, q);
        return Biquad(alpha, 0, -alpha, 1 + alpha, -2 * std::cos(w), 1 - alpha);
    }
    double operator()(double x) {
        const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
        x2_ = x1_, x1_ = x, y2_ = y1_, y1_ = y;
        return y;
    }

private:
    struct Angles {
        double w, alpha;
    };
    static Angles angles(double rate, double frequency, double q) {
        const double w = 2 * pi * frequency / rate;
        return {w, std::sin(w) / (2 * q)};
    }
    Biquad(double b0, double b1, double b2, double a0, double a1, double a2)
        : b0_(b0 / a0), b1_(b1 / a0), b2_(b2 / a0), a1_(a1 / a0), a2_(a2 / a0) {}
    double b0_, b1_, b2_, a1_, a2_;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// A loop is synthesised `fade` samples longer than it plays; the overhang is
// cross-faded into its beginning, so the end runs on into the start without
// a seam. Equal-power weights keep the level of uncorrelated noise.
std::vector<double> closeLoop(std::vector<double> x, std::size_t length, std::size_t fade) {
    for (std::size_t i = 0; i < fade; ++i) {
        const double w = (i + 0.5) / fade;
        x[i] = x[i] * std::sqrt(w) + x[length + i] * std::sqrt(1.0 - w);
    }
    x.resize(length);
    return x;
}

// Scaled so that the loudest sample reaches `peak` of full scale.
Pcm toPcm(const std::vector<double>& x, int rate, double peak) {
    double largest = 1e-12;
    for (double v : x) largest = std::max(largest, std::fabs(v));
    Pcm pcm{rate, {}};
    pcm.samples.reserve(x.size());
    for (double v : x) pcm.samples.push_back(truncateTo<std::int16_t>(std::round(v / largest * peak * 32767.0)));
    return pcm;
}

const RecordingFormat& formatOf(RecordingId id) { return recordingFormats[recordingSlot(id)]; }

// The blast: sixteen exhaust beats in the loop, four per turn of the
// wheels (two double-acting cylinders), unequal as on a real engine, each
// a sharp puff of steam through the chimney over a low roar.
Pcm exhaust() {
    const RecordingFormat& f = formatOf(RecordingId::exhaust);
    const double rate = f.sampleRate;
    const std::size_t length = recordingLength(f);
    const std::size_t fade = 800;
    constexpr int beats = 16;
    const double beatPeriod = static_cast<double>(length) / beats;        // samples
    constexpr double strength[4] = {1.0, 0.74, 0.9, 0.68};              // front and back of each cylinder
    constexpr double offset[4] = {0.0, 0.012, -0.008, 0.016};           // s, the beats are not quite even
    Noise noise(116);
    Biquad body = Biquad::lowPass(rate, 260.0, 0.9);
    Biquad puff = Biquad::bandPass(rate, 620.0, 0.8);
    Biquad hiss = Biquad::highPass(rate, 1700.0, 0.7);
    Biquad roar = Biquad::lowPass(rate, 180.0, 0.7);

    std::vector<double> x(length + fade);
    for (std::size_t i = 0; i < x.size(); ++i) {
        // Envelopes of the beats that sound at this sample.
        double envBody = 0.0, envPuff = 0.0, envHiss = 0.0;
        const double t = i / rate;  // s
        const int nearest = truncateTo<int>(i / beatPeriod);
        for (int k = nearest - 2; k <= nearest + 1; ++k) {
            const int which = ((k % 4) + 4) % 4;
            const double since = t - (k * beatPeriod / rate + offset[which]);  // s
            if (since < 0.0) continue;
            const double attack = std::min(1.0, since / 0.012);
            envBody += strength[which] * attack * std::exp(-since / 0.110);
            envPuff += strength[which] * attack * std::exp(-since / 0.075);
            envHiss += strength[which] * attack * std::exp(-since / 0.045);
        }
        const double n = noise.next();
        x[i] = 3.2 * envBody * body(n) + 1.6 * envPuff * puff(n) + 0.35 * envHiss * hiss(n) + 0.5 * roar(noise.next());
    }
    return toPcm(closeLoop(std::move(x), length, fade), f.sampleRate, 0.89);
}

// Steam rushing through the half-open throttle valve of the counter-
// pressure brake: a steady hiss that swells with each compression stroke
// of the cylinders, with a faint whistle of the valve seat.
Pcm throttle() {
    const RecordingFormat& f = formatOf(RecordingId::throttle);
    const double rate = f.sampleRate;
    const std::size_t length = recordingLength(f);
    const std::size_t fade = 800;
    const double strokePeriod = static_cast<double>(length) / 11;  // samples
    Noise noise(127);
    Biquad hiss = Biquad::bandPass(rate, 2300.0, 0.9);
    Biquad air = Biquad::highPass(rate, 900.0, 0.7);
    Biquad whistle = Biquad::bandPass(rate, 1480.0, 30.0);
    Biquad rumble = Biquad::lowPass(rate, 220.0, 0.7);

    std::vector<double> x(length + fade);
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double phase = 2 * pi * i / strokePeriod;
        const double swell = 0.72 + 0.28 * std::pow(0.5 + 0.5 * std::cos(phase), 2.0);
        const double n = noise.next();
        x[i] = swell * (hiss(n) + 0.45 * air(n) + 2.2 * whistle(n)) + 0.25 * rumble(noise.next());
    }
    return toPcm(closeLoop(std::move(x), length, fade), f.sampleRate, 0.7);
}

// The safety valve lifting: a loud, bright roar of steam with the ring of
// the valve chest in it and a slight flutter of the valve.
Pcm safetyValve() {
    const RecordingFormat& f = formatOf(RecordingId::safetyValve);
    const double rate = f.sampleRate;
    const std::size_t length = recordingLength(f);
    const std::size_t fade = 1200;
    const double flutterPeriod = static_cast<double>(length) / 14;  // samples, 40 Hz
    Noise noise(120);
    Biquad roar = Biquad::highPass(rate, 350.0, 0.7);
    Biquad ring = Biquad::bandPass(rate, 3100.0, 3.0);
    Biquad sizzle = Biquad::highPass(rate, 5200.0, 0.7);
    Biquad smooth = Biquad::lowPass(rate, 7000.0, 0.7);

    std::vector<double> x(length + fade);
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double flutter = 1.0 + 0.08 * std::sin(2 * pi * i / flutterPeriod);
        const double n = noise.next();
        x[i] = flutter * smooth(0.55 * roar(n) + 1.4 * ring(n) + 0.6 * sizzle(n));
    }
    return toPcm(closeLoop(std::move(x), length, fade), f.sampleRate, 0.6);
}

// A piston valve striking its holder: a hard click and a short thud, then
// the inharmonic ring of the steel, and a weaker rebound knock.
Pcm valveKnock() {
    const RecordingFormat& f = formatOf(RecordingId::valveKnock);
    const double rate = f.sampleRate;
    const std::size_t length = recordingLength(f);
    struct Mode {
        double frequency;  // Hz
        double amplitude;
        double decay;  // s
    };
    constexpr Mode modes[] = {{743.0, 0.45, 0.080}, {1867.0, 0.8, 0.060}, {3312.0, 0.6, 0.042},
                              {5118.0, 0.4, 0.028}, {7476.0, 0.22, 0.018}};
    constexpr double strikes[2][2] = {{0.0, 1.0}, {0.037, 0.38}};  // s, strength
    Noise noise(117);
    Biquad click = Biquad::highPass(rate, 2500.0, 0.7);

    std::vector<double> x(length);
    for (std::size_t i = 0; i < length; ++i) {
        const double t = i / rate;  // s
        const double n = click(noise.next());
        double v = 0.0;
        for (const auto& [at, strength] : strikes) {
            const double since = t - at;  // s
            if (since < 0.0) continue;
            const double onset = std::min(1.0, since / 0.0003);
            double ring = 0.0;
            for (const Mode& m : modes) ring += m.amplitude * std::exp(-since / m.decay) * std::sin(2 * pi * m.frequency * since);
            const double thud = 0.7 * std::exp(-since / 0.025) * std::sin(2 * pi * 165.0 * since);
            const double crack = 1.2 * std::exp(-since / 0.0025) * n;
            v += strength * onset * (ring + thud + crack);
        }
        // The last 60 ms fade out, so the sound ends in silence.
        const double tail = static_cast<double>(length - i) / (0.06 * rate);
        x[i] = v * std::min(1.0, tail);
    }
    return toPcm(x, f.sampleRate, 0.95);
}

}  // namespace

Pcm synthesiseRecording(RecordingId id) {
    switch (id) {
        case RecordingId::exhaust: return exhaust();
        case RecordingId::throttle: return throttle();
        case RecordingId::safetyValve: return safetyValve();
        case RecordingId::valveKnock: return valveKnock();
    }
    return {};
}

}  // namespace zt40
