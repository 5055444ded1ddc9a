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
// `bytesRead` receives the file's bytes as read (nullopt without a file),
// so that the end of the run can tell whether another program has written
// it meanwhile.
std::optional<std::string> loadConfiguration(const std::filesystem::path& file, LocomotiveState& state,
                                             Random15& random, TrackAllocator& allocator,
                                             std::optional<std::string>* bytesRead = nullptr);

// What loading does with the file's bytes once they are read (nullopt:
// there is no file): the header and the track rows, then the validation.
void loadConfigurationBytes(const std::optional<std::string>& bytes, LocomotiveState& state, Random15& random,
                            TrackAllocator& allocator);

// The file's bytes as they stand now; nullopt when there is none or it
// cannot be read.
std::optional<std::string> currentBytes(const std::filesystem::path& file);

// Whether a save reached the disk. After a failure the old file is left as
// it was.
enum class SaveResult { saved, failed };

struct SaveReport {
    SaveResult result = SaveResult::failed;
    std::string reason;  // why it failed, for the user: German where we know the cause
    bool operator==(SaveResult other) const { return result == other; }
};

// Writes the file; the track list stays as it is, so a failed save can be
// tried again.
[[nodiscard]] SaveReport saveConfiguration(const std::filesystem::path& file, const LocomotiveState& state);

// The same with the text already made (the save writes exactly this). A
// symbolic link is written through to its target. The text goes to a
// temporary file beside the target first, under a name of this save's own
// and locked while it is written, flushed to the disk, which then replaces
// the target with the old file's permissions, so a failed or interrupted
// save never destroys the only copy and two programs never mix their
// texts. Temporary files that interrupted saves left behind are removed
// first. Where the folder takes no new file but the file itself is
// writable, the file is rewritten in place once the room for the whole
// text is reserved; without that room it stays as it was.
[[nodiscard]] SaveReport writeFileReplacing(const std::filesystem::path& file, const std::string& bytes);

// The file a link finally points to (the path itself when it is no link).
std::filesystem::path linkTarget(const std::filesystem::path& file);

}  // namespace zt40
