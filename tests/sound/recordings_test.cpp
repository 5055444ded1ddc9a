#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "sound_fixtures.h"

namespace zt40 {
namespace {

double rms(const std::vector<std::int16_t>& s, std::size_t from, std::size_t to) {
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) sum += static_cast<double>(s[i]) * s[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

TEST(Recordings, TheBuildMakesEachAtItsRateAndLengthStartingAndEndingAsItShould) {
    for (const RecordingFormat& format : recordingFormats) {
        SCOPED_TRACE(static_cast<int>(format.id));
        const auto pcm = testing::builtRecording(format.id);
        ASSERT_TRUE(pcm.has_value());
        EXPECT_EQ(pcm->sampleRate, format.sampleRate);
        EXPECT_NEAR(pcm->seconds(), format.seconds, 0.5 / format.sampleRate);
        const auto& s = pcm->samples;
        const std::size_t n = s.size();
        EXPECT_GT(rms(s, 0, n), 1500.0);  // clearly audible, not silence
        if (format.playing == Playing::once) {
            // Once: from silence a strike that has died away at the end.
            EXPECT_EQ(s.front(), 0);
            EXPECT_GT(rms(s, 0, n / 10), 20.0 * rms(s, n - n / 10, n));
            EXPECT_EQ(s.back(), 0);
        } else {
            // Looped: the end runs on into the beginning without a click,
            // a step such as one in a thousand of the recording's own.
            std::vector<int> steps;
            for (std::size_t i = 1; i < n; ++i) steps.push_back(std::abs(s[i] - s[i - 1]));
            std::sort(steps.begin(), steps.end());
            EXPECT_LE(std::abs(s.front() - s.back()), steps[steps.size() * 999 / 1000]) << "seam";
        }
    }
}

TEST(Recordings, WaveFilesRoundTripAndBrokenOnesAreRefused) {
    const Pcm pcm{8000, {0, 1000, -1000, 32767, -32768}};
    auto bytes = waveFileBytes(pcm);
    const auto back = parseWaveFile(bytes);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->sampleRate, 8000);
    EXPECT_EQ(back->samples, pcm.samples);
    bytes[34] = 8;  // 8-bit samples
    EXPECT_FALSE(parseWaveFile(bytes).has_value());
    bytes[34] = 16;
    bytes.resize(bytes.size() - 3);  // data cut short
    EXPECT_FALSE(parseWaveFile(bytes).has_value());
    EXPECT_FALSE(parseWaveFile({}).has_value());
}

}  // namespace
}  // namespace zt40
