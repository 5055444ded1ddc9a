#pragma once
// Reading and writing "Konfiguration_ZT40.cfg" on disk.

#include <filesystem>
#include <optional>
#include <string>

#include "locomotive_state.h"
#include "random15.h"
#include "track_point.h"

namespace zt40 {

// Reads the file if it is there and validates the record in every case; a
// missing or empty file leaves every value to its default. Never throws.
// Returns why (in German, for the user) when the file exists but cannot be
// read: a directory, no permission, an I/O error. The record then holds
// the defaults, and the file must not be overwritten in this run.
std::optional<std::string> loadConfiguration(const std::filesystem::path& file, LocomotiveState& state,
                                             Random15& random, TrackAllocator& allocator);

// Whether a save reached the disk. After a failure the old file is left as
// it was.
enum class SaveResult { saved, failed };

// Writes the file; the track list stays as it is, so a failed save can be
// tried again.
[[nodiscard]] SaveResult saveConfiguration(const std::filesystem::path& file, const LocomotiveState& state);

// The same with the text already made (the save writes exactly this). A
// symbolic link is written through to its target. The text goes to a
// temporary file beside the target first, flushed to the disk, which then
// replaces it with the old file's permissions, so a failed or interrupted
// save never destroys the only copy. Where the folder takes no new file
// but the file itself is writable, the file is rewritten in place.
[[nodiscard]] SaveResult writeFileReplacing(const std::filesystem::path& file, const std::string& bytes);

}  // namespace zt40
