// The sounds of iron on iron: a piston valve striking its holder and the
// brake blocks on the tyres.
#include <algorithm>
#include <cmath>
#include <vector>

#include "synthesis.h"

namespace zt40::synthesis {

// A piston valve striking its holder: a hard click and a short thud, then
// the inharmonic ring of the steel, and a weaker rebound knock.
Pcm valveKnock() {
    const RecordingFormat& f = formatOf(RecordingId::valveKnock);
    const double rate = f.sampleRate;
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

    std::vector<double> x(lengthOf(f.id));
    for (std::size_t i = 0; i < x.size(); ++i) {
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
        x[i] = v;
    }
    fadeOutEnd(x, rate, 0.06);
    return toPcm(x, f.sampleRate, 0.95);
}

// Brake blocks on the tyres as the train comes to a stand: the grinding of
// cast iron, a scrape, and the squeal of a block that sings, wavering.
Pcm brakeShoes() {
    const RecordingFormat& f = formatOf(RecordingId::brakeShoes);
    const double rate = f.sampleRate;
    const std::size_t length = lengthOf(f.id);
    const std::size_t fade = 1500;
    Noise noise(124);
    Biquad grind = Biquad::bandPass(rate, 450.0, 0.9);
    Biquad scrape = Biquad::bandPass(rate, 1600.0, 2.0);
    Biquad unrest = Biquad::lowPass(rate, 8.0, 0.7);
    std::vector<double> noisy(length + fade);
    for (double& v : noisy) {
        const double n = noise.next();
        v = (0.8 + 20.0 * unrest(noise.next())) * grind(n) + 0.4 * scrape(n);
    }
    std::vector<double> x = closeLoop(std::move(noisy), length, fade);
    // The squeal, 2400 Hz wavering 6 times a second, swelling twice: whole
    // periods in the 1.5 s loop, so it needs no joining.
    double phase = 0.0;  // rad
    for (std::size_t i = 0; i < length; ++i) {
        const double t = i / rate;  // s
        x[i] += 0.35 * (0.6 + 0.4 * std::sin(2 * pi * 2.0 * t)) * std::sin(phase);
        phase += 2 * pi * (2400.0 + 30.0 * std::sin(2 * pi * 6.0 * t)) / rate;
    }
    return toPcm(x, f.sampleRate, 0.6);
}

}  // namespace zt40::synthesis
