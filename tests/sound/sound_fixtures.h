#pragma once
// The recordings as the build made them, read from its output directory.

#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "sound_player.h"
#include "wave_file.h"

namespace zt40 {

inline std::optional<Pcm> builtRecording(RecordingId id) {
    std::ifstream file(std::string(ZT40_RECORDING_DIR) + "/" + std::to_string(static_cast<int>(id)) + ".wav",
                       std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return parseWaveFile(bytes);
}

inline void loadBuiltRecordings(SoundPlayer& player) {
    for (const RecordingFormat& format : recordingFormats) {
        if (auto pcm = builtRecording(format.id)) player.load(format.id, std::move(*pcm));
    }
}

}  // namespace zt40
