// The steam of the boiler's fittings: safety valve, blower, injector,
// drain cocks and whistle, each a loop.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

#include "synthesis.h"

namespace zt40::synthesis {

namespace {

// Synthesises `fade` samples more than the loop holds and joins its end
// to its beginning; `sample` gives sample i.
template <class Sample>
Pcm loop(RecordingId id, std::size_t fade, double peak, Sample&& sample) {
    const RecordingFormat& f = formatOf(id);
    const std::size_t length = lengthOf(id);
    std::vector<double> x(length + fade);
    for (std::size_t i = 0; i < x.size(); ++i) x[i] = sample(i);
    return toPcm(closeLoop(std::move(x), length, fade), f.sampleRate, peak);
}

}  // namespace

// The safety valve lifting: a loud, bright roar of steam with the ring of
// the valve chest in it and a slight flutter of the valve.
Pcm safetyValve() {
    const double rate = formatOf(RecordingId::safetyValve).sampleRate;
    const double flutterPeriod = lengthOf(RecordingId::safetyValve) / 14.0;  // samples, 40 Hz
    Noise noise(120);
    Biquad roar = Biquad::highPass(rate, 350.0, 0.7);
    Biquad ring = Biquad::bandPass(rate, 3100.0, 3.0);
    Biquad sizzle = Biquad::highPass(rate, 5200.0, 0.7);
    Biquad smooth = Biquad::lowPass(rate, 7000.0, 0.7);
    return loop(RecordingId::safetyValve, 1200, 0.6, [&](std::size_t i) {
        const double flutter = 1.0 + 0.08 * std::sin(2 * pi * i / flutterPeriod);
        const double n = noise.next();
        return flutter * smooth(0.55 * roar(n) + 1.4 * ring(n) + 0.6 * sizzle(n));
    });
}

// The auxiliary blower: a jet of steam up the chimney, hissing, with the
// draught it pulls through the fire roaring low beneath it.
Pcm blower() {
    const double rate = formatOf(RecordingId::blower).sampleRate;
    Noise noise(121);
    Biquad jet = Biquad::bandPass(rate, 2100.0, 0.8);
    Biquad air = Biquad::highPass(rate, 4500.0, 0.7);
    Biquad draught = Biquad::lowPass(rate, 250.0, 0.7);
    return loop(RecordingId::blower, 1600, 0.6, [&](std::size_t i) {
        const double flutter = 1.0 + 0.06 * std::sin(2 * pi * 5.0 * i / rate);  // 12 periods in the loop
        const double n = noise.next();
        return flutter * (jet(n) + 0.4 * air(n)) + 0.8 * draught(noise.next());
    });
}

// The injector feeding: the high song of the steam cone, its octave, the
// rush of the water and its gurgle in the overflow.
Pcm injector() {
    const double rate = formatOf(RecordingId::injector).sampleRate;
    Noise noise(122);
    Biquad song = Biquad::bandPass(rate, 1250.0, 18.0);
    Biquad octave = Biquad::bandPass(rate, 2500.0, 18.0);
    Biquad rush = Biquad::bandPass(rate, 700.0, 0.7);
    Biquad gurgle = Biquad::lowPass(rate, 300.0, 0.7);
    Biquad wobble = Biquad::lowPass(rate, 14.0, 0.7);  // the overflow's slow unrest
    return loop(RecordingId::injector, 1600, 0.55, [&](std::size_t) {
        const double n = noise.next();
        const double unrest = 0.6 + 25.0 * wobble(noise.next());
        return 2.5 * song(n) + 0.8 * octave(n) + 0.6 * rush(noise.next()) + unrest * gurgle(noise.next());
    });
}

// The open drain cocks: a harsh hiss of steam from both ends of both
// cylinders, sputtering where water comes with it.
Pcm drainCocks() {
    const double rate = formatOf(RecordingId::drainCocks).sampleRate;
    Noise noise(123);
    Biquad hiss = Biquad::highPass(rate, 1200.0, 0.7);
    Biquad edge = Biquad::bandPass(rate, 3200.0, 1.5);
    Biquad sputter = Biquad::lowPass(rate, 25.0, 0.7);
    Biquad spit = Biquad::highPass(rate, 5000.0, 0.7);
    return loop(RecordingId::drainCocks, 1200, 0.6, [&](std::size_t) {
        const double n = noise.next();
        const double unrest = sputter(noise.next());
        const double gate = 0.75 + 0.25 * std::tanh(60.0 * unrest);
        const double spat = std::max(0.0, 40.0 * unrest - 0.2);  // the water's bursts
        return gate * (hiss(n) + 0.8 * edge(n)) + spat * spit(noise.next());
    });
}

// The whistle: a chime of three pipes sounding a chord, with the breath of
// the steam through the mouths. The pipes sound whole periods in the loop's
// second, so only the breath needs joining.
Pcm whistle() {
    const RecordingFormat& f = formatOf(RecordingId::whistle);
    const double rate = f.sampleRate;
    constexpr double pipes[] = {349.0, 440.0, 523.0};          // Hz
    constexpr double partials[] = {1.0, 0.5, 0.25, 0.12};      // of each pipe's harmonics
    constexpr double phases[] = {0.0, 2.1, 4.4, 1.3, 5.0, 3.7};  // rad, so the partials never peak together
    const std::size_t length = lengthOf(f.id);
    const std::size_t fade = 1000;
    Noise noise(125);
    Biquad mouth = Biquad::bandPass(rate, 1800.0, 1.0);
    std::vector<double> breath(length + fade);
    for (double& v : breath) v = 0.6 * mouth(noise.next());
    std::vector<double> x = closeLoop(std::move(breath), length, fade);
    for (std::size_t i = 0; i < length; ++i) {
        const double t = i / rate;  // s
        std::size_t n = 0;
        for (double pipe : pipes) {
            for (std::size_t k = 0; k < std::size(partials); ++k, ++n) {
                x[i] += partials[k] * std::sin(2 * pi * pipe * static_cast<double>(k + 1) * t + phases[n % std::size(phases)]);
            }
        }
    }
    return toPcm(x, f.sampleRate, 0.7);
}

}  // namespace zt40::synthesis
