#pragma once
// The recordings the locomotive is heard through, by their resource
// numbers, with the rate and length each is made at and how the mixer
// plays it.

#include <array>
#include <cstdint>
#include <vector>

#include "numeric.h"

namespace zt40 {

enum class RecordingId : int {
    exhaustBeat = 116,      // one blast-pipe beat of a long cut-off: a sharp bark
    valveKnock = 117,       // a piston valve striking its holder
    softExhaustBeat = 118,  // one beat of a short cut-off: a soft puff
    safetyValve = 120,      // safety valve blowing off
    blower = 121,           // the auxiliary blower's steam jet in the chimney
    injector = 122,         // the injector singing as it feeds
    drainCocks = 123,       // steam and water from the open drain cocks
    brakeShoes = 124,       // brake blocks grinding on the tyres
    whistle = 125,          // the whistle
    throttle = 127,         // counter-pressure brake throttle
};

enum class Playing { once, looped };

struct RecordingFormat {
    RecordingId id;
    int sampleRate;  // Hz
    double seconds;  // s
    Playing playing;
};

inline constexpr std::array<RecordingFormat, 10> recordingFormats{{
    {RecordingId::exhaustBeat, 22050, 0.30, Playing::once},
    {RecordingId::valveKnock, 22050, 0.42, Playing::once},
    {RecordingId::softExhaustBeat, 22050, 0.34, Playing::once},
    {RecordingId::safetyValve, 16000, 0.35, Playing::looped},
    {RecordingId::blower, 16000, 2.4, Playing::looped},
    {RecordingId::injector, 16000, 1.6, Playing::looped},
    {RecordingId::drainCocks, 16000, 1.2, Playing::looped},
    {RecordingId::brakeShoes, 22050, 1.5, Playing::looped},
    {RecordingId::whistle, 22050, 1.0, Playing::looped},
    {RecordingId::throttle, 8000, 3.85, Playing::looped},
}};

// Position of a recording in `recordingFormats`.
constexpr std::size_t recordingSlot(RecordingId id) {
    for (std::size_t i = 0; i < recordingFormats.size(); ++i) {
        if (recordingFormats[i].id == id) return i;
    }
    return 0;
}

constexpr const RecordingFormat& formatOf(RecordingId id) { return recordingFormats[recordingSlot(id)]; }

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
