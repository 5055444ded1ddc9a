#pragma once
// What the main tick hands the mixer: how loud each looped sound is to be,
// the beats of the model's last batch placed in real time, the knocks to
// strike, and whether anything is heard at all.

#include <array>
#include <cstddef>
#include <cstdint>

#include "locomotive_state.h"
#include "recordings.h"

namespace zt40 {

// The looped sounds, each on a voice of its own.
enum class Loop : std::uint8_t { throttle, safetyValve, blower, injector, drainCocks, brakeShoes, whistle };

inline constexpr std::array<RecordingId, 7> loopRecordings{
    RecordingId::throttle,   RecordingId::safetyValve, RecordingId::blower, RecordingId::injector,
    RecordingId::drainCocks, RecordingId::brakeShoes,  RecordingId::whistle,
};
inline constexpr std::size_t loopCount = loopRecordings.size();

constexpr std::size_t loopSlot(Loop loop) { return static_cast<std::size_t>(loop); }

// One beat of the exhaust, or one puff of the counter-pressure throttle.
struct Beat {
    double at;         // s of real time into the scene's span
    double gain;       // 0 .. 1
    double sharpness;  // 0 a soft puff .. 1 a sharp bark
    bool throttle;     // a swell of the throttle's hiss rather than a blast-pipe beat
};

struct SoundScene {
    bool heard = false;    // false: everything fades to silence
    bool restart = false;  // the beats' time line starts afresh
    double span = 0.0;     // s of real time the beats cover
    std::array<double, loopCount> levels{};  // gain of each loop, 0 .. 1
    int beatCount = 0;
    std::array<Beat, exhaustBeatCapacity> beats{};
    int knocks = 0;  // piston-valve knocks to strike

    double& level(Loop loop) { return levels[loopSlot(loop)]; }
    double level(Loop loop) const { return levels[loopSlot(loop)]; }
};

}  // namespace zt40
