#pragma once
// Measures taken on rendered PCM as a listener's ear would: loudness, the
// largest jump from one sample to the next, the envelope and how deeply it
// beats, and the rate of the beats.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

namespace zt40::testing {

using Samples = std::span<const std::int16_t>;

// Root mean square, full scale 1.
inline double rms(Samples pcm) {
    double sum = 0.0;
    for (std::int16_t v : pcm) sum += static_cast<double>(v) * v;
    return pcm.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(pcm.size())) / 32768.0;
}

inline int largestJump(Samples pcm) {
    int largest = 0;
    for (std::size_t i = 1; i < pcm.size(); ++i) largest = std::max(largest, std::abs(pcm[i] - pcm[i - 1]));
    return largest;
}

// The loudness each millisecond: the rectified signal, smoothed over 4 ms.
inline std::vector<double> envelope(Samples pcm, int rate) {
    const std::size_t perMs = static_cast<std::size_t>(rate / 1000);
    std::vector<double> e(pcm.size() / perMs);
    double smooth = 0.0;
    const double keep = std::exp(-1.0 / 4.0);
    for (std::size_t ms = 0; ms < e.size(); ++ms) {
        double sum = 0.0;
        for (std::size_t i = 0; i < perMs; ++i) sum += std::abs(pcm[ms * perMs + i]);
        smooth = smooth * keep + sum / perMs / 32768.0 * (1.0 - keep);
        e[ms] = smooth;
    }
    return e;
}

// How deeply the loudness rises and falls: the standard deviation of the
// envelope over its mean; a steady hiss stays low, beats go deep.
inline double beatDepth(Samples pcm, int rate) {
    const std::vector<double> e = envelope(pcm, rate);
    double mean = 0.0, square = 0.0;
    for (double v : e) mean += v;
    mean /= static_cast<double>(e.size());
    for (double v : e) square += (v - mean) * (v - mean);
    return mean > 0.0 ? std::sqrt(square / static_cast<double>(e.size())) / mean : 0.0;
}

// Beats per second, from the envelope's autocorrelation: the shortest lag
// between 20 ms and 1.5 s at which the envelope nearly repeats itself as
// well as at its best; 0 where it does not repeat.
inline double beatRate(Samples pcm, int rate) {
    std::vector<double> e = envelope(pcm, rate);
    double mean = 0.0;
    for (double v : e) mean += v;
    mean /= static_cast<double>(e.size());
    double variance = 0.0;
    for (double& v : e) {
        v -= mean;
        variance += v * v;
    }
    variance /= static_cast<double>(e.size());
    if (!(variance > 0.0)) return 0.0;
    const std::size_t longest = std::min<std::size_t>(1500, e.size() / 2);
    std::vector<double> r(longest + 2, 0.0);
    for (std::size_t lag = 1; lag < r.size(); ++lag) {
        double sum = 0.0;
        for (std::size_t i = 0; i + lag < e.size(); ++i) sum += e[i] * e[i + lag];
        r[lag] = sum / static_cast<double>(e.size() - lag) / variance;
    }
    const auto isPeak = [&](std::size_t lag) { return r[lag] >= r[lag - 1] && r[lag] >= r[lag + 1]; };
    double best = 0.0;
    for (std::size_t lag = 20; lag <= longest; ++lag) {
        if (isPeak(lag)) best = std::max(best, r[lag]);
    }
    if (best < 0.3) return 0.0;
    for (std::size_t lag = 20; lag <= longest; ++lag) {
        if (!isPeak(lag) || r[lag] < 0.8 * best) continue;
        // Between the milliseconds: the parabola through the peak.
        const double curve = r[lag - 1] - 2.0 * r[lag] + r[lag + 1];
        const double shift = curve < 0.0 ? 0.5 * (r[lag - 1] - r[lag + 1]) / curve : 0.0;
        return 1000.0 / (static_cast<double>(lag) + shift);
    }
    return 0.0;
}

}  // namespace zt40::testing
