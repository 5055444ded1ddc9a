#pragma once
// RIFF WAVE files of 16-bit mono PCM, the form the recordings are kept in
// among the program's resources.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "recordings.h"

namespace zt40 {

std::vector<std::uint8_t> waveFileBytes(const Pcm& pcm);

// The PCM of a WAVE file in memory; nothing unless it is 16-bit mono PCM
// and whole.
std::optional<Pcm> parseWaveFile(std::span<const std::uint8_t> bytes);

}  // namespace zt40
