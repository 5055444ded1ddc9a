#pragma once
// The program's one voice: it plays one recording at a time, looped or
// once, and a new one ends whatever played, as a simple sound player does.
// Its volume is our own output stream's volume, never the user's system
// volume. It renders PCM for the audio device; plain C++ so the sound
// logic runs and is tested without one. Used on one thread only.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "recordings.h"

namespace zt40 {

enum class Repeat { once, looped };

class SoundPlayer {
public:
    static constexpr int outputRate = 22050;  // Hz, mono 16-bit
    static constexpr std::uint16_t fullVolume = 65535;

    void load(RecordingId id, Pcm pcm);
    bool loaded(RecordingId id) const { return !recordings_[recordingSlot(id)].samples.empty(); }
    const Pcm& recording(RecordingId id) const { return recordings_[recordingSlot(id)]; }

    // From its beginning; ends what played before. A recording that is
    // not loaded plays as silence.
    void play(RecordingId id, Repeat repeat);
    void stop() { playing_.reset(); }
    void setVolume(std::uint16_t volume) { volume_ = volume; }

    std::uint16_t volume() const { return volume_; }
    std::optional<RecordingId> playing() const { return playing_; }
    bool looped() const { return repeat_ == Repeat::looped; }
    // Position in the playing recording, s.
    double position() const;

    // The next samples of the stream at `outputRate`; silence when nothing plays.
    void render(std::span<std::int16_t> out);
    std::int64_t framesRendered() const { return framesRendered_; }

private:
    std::array<Pcm, recordingFormats.size()> recordings_;
    std::optional<RecordingId> playing_;
    Repeat repeat_ = Repeat::once;
    double sourcePosition_ = 0.0;  // samples into the recording
    std::uint16_t volume_ = fullVolume;
    // The gain follows the volume within a few milliseconds, so that the
    // tick-by-tick loudness changes do not click.
    double gain_ = 1.0;
    std::int64_t framesRendered_ = 0;
};

}  // namespace zt40
