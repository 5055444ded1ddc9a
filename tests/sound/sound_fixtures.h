#pragma once
// The recordings as the build made them, and the whole sound chain as the
// program runs it, on the virtual clock: the engine's main tick posts each
// scene to the feed, and after each event as much PCM is rendered as the
// clock moved on, the scenes taken first, as the audio thread does.

#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "engine_fixtures.h"
#include "engine_sound.h"
#include "mixer.h"
#include "wave_file.h"

namespace zt40::testing {

inline std::optional<Pcm> builtRecording(RecordingId id) {
    std::ifstream file(std::string(ZT40_RECORDING_DIR) + "/" + std::to_string(static_cast<int>(id)) + ".wav",
                       std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return parseWaveFile(bytes);
}

inline void loadBuiltRecordings(Mixer& mixer) {
    for (const RecordingFormat& format : recordingFormats) {
        if (auto pcm = builtRecording(format.id)) mixer.load(format.id, std::move(*pcm));
    }
}

class ListeningDrive {
public:
    // The usual drive of the engine tests, its window focused.
    explicit ListeningDrive(const std::function<void(LocomotiveState&)>& setUp = nullptr)
        : drive_(setUp, 1, nullptr, &sound_) {
        loadBuiltRecordings(mixer_);
        drive_.engine().onSetFocus();
    }

    EngineDrive& drive() { return drive_; }
    LocomotiveState& state() { return drive_.state(); }
    Engine& engine() { return drive_.engine(); }
    Mixer& mixer() { return mixer_; }

    // What is heard in the next `seconds` of the clock.
    std::vector<std::int16_t> listen(double seconds) {
        std::vector<std::int16_t> pcm;
        const std::int64_t end = drive_.clock().now + std::llround(seconds * 1000.0);  // ms
        turns_ = 0.0;
        double angle = state().wheelAngle;  // rad
        while (drive_.clock().now < end && !drive_.engine().damaged()) {
            if (!drive_.clock().runNext(drive_.engine())) break;
            const double turned = std::fabs(state().wheelAngle - angle);
            turns_ += std::min(turned, 2.0 * std::numbers::pi - turned) / (2.0 * std::numbers::pi);
            angle = state().wheelAngle;
            hearUntil(std::min(drive_.clock().now, end), pcm);
        }
        hearUntil(end, pcm);
        return pcm;
    }
    // Wheel turns during the last `listen`.
    double turns() const { return turns_; }

    // A key pressed and let go, as the window passes it on.
    void press(int virtualKey) {
        drive_.engine().onKey(KeyMessage::keyDown, virtualKey);
        drive_.engine().onKey(KeyMessage::keyUp, virtualKey);
    }

private:
    void hearUntil(std::int64_t ms, std::vector<std::int16_t>& pcm) {
        const auto until = ms * Mixer::outputRate / 1000;  // frames since the clock's start
        if (until <= heard_) return;
        const std::size_t taken = feed_.take(scenes_);
        for (std::size_t i = 0; i < taken; ++i) mixer_.take(scenes_[i]);
        const std::size_t from = pcm.size();
        pcm.resize(from + static_cast<std::size_t>(until - heard_));
        mixer_.render(std::span(pcm).subspan(from));
        heard_ = until;
    }

    SoundFeed feed_;
    EngineSound sound_{feed_};
    Mixer mixer_;
    EngineDrive drive_;
    SoundFeed::Scenes scenes_{};
    std::int64_t heard_ = 0;  // frames rendered
    double turns_ = 0.0;
};

}  // namespace zt40::testing
