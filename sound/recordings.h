#pragma once
// The four recordings the locomotive is heard through, by their resource
// numbers, with the rate and length each is made at.

#include <array>
#include <cstdint>
#include <vector>

#include "numeric.h"

namespace zt40 {

enum class RecordingId : int {
    exhaust = 116,      // blast-pipe exhaust, looped
    valveKnock = 117,   // a piston valve striking its holder, once
    safetyValve = 120,  // safety valve blowing off, looped
    throttle = 127,     // counter-pressure brake throttle, looped
};

struct RecordingFormat {
    RecordingId id;
    int sampleRate;  // Hz
    double seconds;  // s
};

inline constexpr std::array<RecordingFormat, 4> recordingFormats{{
    {RecordingId::exhaust, 8000, 5.13},
    {RecordingId::valveKnock, 22050, 0.42},
    {RecordingId::safetyValve, 16000, 0.35},
    {RecordingId::throttle, 8000, 3.85},
}};

// Position of a recording in `recordingFormats`.
constexpr std::size_t recordingSlot(RecordingId id) {
    for (std::size_t i = 0; i < recordingFormats.size(); ++i) {
        if (recordingFormats[i].id == id) return i;
    }
    return 0;
}

// Samples a recording of `format` holds.
inline int recordingLength(const RecordingFormat& format) {
    return truncateTo<int>(format.seconds * format.sampleRate + 0.5);
}

// 16-bit mono PCM.
struct Pcm {
    int sampleRate = 0;  // Hz
    std::vector<std::int16_t> samples;

    double seconds() const { return sampleRate > 0 ? static_cast<double>(samples.size()) / sampleRate : 0.0; }
};

}  // namespace zt40
