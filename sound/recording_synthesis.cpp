#include "recording_synthesis.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "synthesis.h"

namespace zt40 {

namespace synthesis {

// One beat of the blast when the steam is released late in the stroke, at
// high pressure: a hard crack as the port opens, the bark of the steam in
// the chimney and a low thump, all over within a fifth of a second.
Pcm exhaustBeat() {
    const RecordingFormat& f = formatOf(RecordingId::exhaustBeat);
    const double rate = f.sampleRate;
    Noise noise(116);
    Biquad crack = Biquad::highPass(rate, 3000.0, 0.7);
    Biquad bark = Biquad::bandPass(rate, 520.0, 1.2);
    Biquad body = Biquad::lowPass(rate, 220.0, 0.8);
    Biquad hiss = Biquad::highPass(rate, 1800.0, 0.7);
    std::vector<double> x(lengthOf(f.id));
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double t = i / rate;  // s
        const double onset = std::min(1.0, t / 0.0015);
        const double n = noise.next();
        x[i] = onset * (0.9 * std::exp(-t / 0.006) * crack(n) + 1.6 * std::exp(-t / 0.040) * bark(n) +
                        2.4 * std::exp(-t / 0.070) * body(noise.next()) + 0.35 * std::exp(-t / 0.060) * hiss(n));
    }
    fadeOutEnd(x, rate, 0.04);
    return toPcm(x, f.sampleRate, 0.9);
}

// One beat of an engine notched up: the steam leaves already expanded, a
// soft low puff that swells in and dies away.
Pcm softExhaustBeat() {
    const RecordingFormat& f = formatOf(RecordingId::softExhaustBeat);
    const double rate = f.sampleRate;
    Noise noise(118);
    Biquad body = Biquad::lowPass(rate, 300.0, 0.8);
    Biquad puff = Biquad::bandPass(rate, 420.0, 0.8);
    Biquad hiss = Biquad::highPass(rate, 1500.0, 0.7);
    std::vector<double> x(lengthOf(f.id));
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double t = i / rate;  // s
        const double swell = std::pow(std::sin(0.5 * pi * std::min(1.0, t / 0.010)), 2.0);
        const double n = noise.next();
        x[i] = swell * (2.6 * std::exp(-t / 0.090) * body(n) + 0.9 * std::exp(-t / 0.060) * puff(noise.next()) +
                        0.15 * std::exp(-t / 0.050) * hiss(n));
    }
    fadeOutEnd(x, rate, 0.04);
    return toPcm(x, f.sampleRate, 0.9);
}

// Steam rushing through the throttle valve of the counter-pressure brake:
// a steady hiss with a faint whistle of the valve seat. Its swelling with
// the compression strokes comes from the cylinders, as the mixer plays it.
Pcm throttle() {
    const RecordingFormat& f = formatOf(RecordingId::throttle);
    const double rate = f.sampleRate;
    const std::size_t length = lengthOf(f.id);
    const std::size_t fade = 800;
    Noise noise(127);
    Biquad hiss = Biquad::bandPass(rate, 2300.0, 0.9);
    Biquad air = Biquad::highPass(rate, 900.0, 0.7);
    Biquad whistle = Biquad::bandPass(rate, 1480.0, 30.0);
    Biquad rumble = Biquad::lowPass(rate, 220.0, 0.7);
    std::vector<double> x(length + fade);
    for (double& v : x) {
        const double n = noise.next();
        v = hiss(n) + 0.45 * air(n) + 2.2 * whistle(n) + 0.25 * rumble(noise.next());
    }
    return toPcm(closeLoop(std::move(x), length, fade), f.sampleRate, 0.7);
}

}  // namespace synthesis

Pcm synthesiseRecording(RecordingId id) {
    using namespace synthesis;
    switch (id) {
        case RecordingId::exhaustBeat: return exhaustBeat();
        case RecordingId::softExhaustBeat: return softExhaustBeat();
        case RecordingId::throttle: return throttle();
        case RecordingId::safetyValve: return safetyValve();
        case RecordingId::blower: return blower();
        case RecordingId::injector: return injector();
        case RecordingId::drainCocks: return drainCocks();
        case RecordingId::whistle: return whistle();
        case RecordingId::valveKnock: return valveKnock();
        case RecordingId::brakeShoes: return brakeShoes();
    }
    return {};
}

}  // namespace zt40
