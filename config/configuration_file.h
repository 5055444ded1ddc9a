#pragma once
// Reading and writing "Konfiguration_ZT40.cfg" on disk.

#include <filesystem>

#include "locomotive_state.h"
#include "random15.h"
#include "track_point.h"

namespace zt40 {

// Reads the file if it opens and validates the record in every case; a
// missing or empty file leaves every value to its default.
void loadConfiguration(const std::filesystem::path& file, LocomotiveState& state, Random15& random,
                       TrackAllocator& allocator);

// Writes the file and takes the track list. Returns true on failure, in
// which case the old file is left as it was. The text goes to a temporary
// file beside it first, which then replaces the old one, so a failed or
// interrupted save never destroys the only copy.
bool saveConfiguration(const std::filesystem::path& file, LocomotiveState& state, TrackAllocator& allocator);

// The same with the text already made (the save writes exactly this).
bool writeFileReplacing(const std::filesystem::path& file, const std::string& bytes);

}  // namespace zt40
