#pragma once
// The configuration file over one run of the window: read at the start with
// the file locked for this program, written at the end as the user decides.
// Another program using the same file is named at the start, and neither
// program overwrites the other's drive without asking; a save that fails
// says why and offers to try again or to save elsewhere.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "configuration_lock.h"
#include "locomotive_state.h"
#include "platform.h"
#include "random15.h"
#include "track_point.h"

namespace zt40 {

class ConfigurationKeeper {
public:
    // `file` empty: nothing is read or written. `writable` false: the file
    // is only read (a headless run), neither locked nor written.
    ConfigurationKeeper(Platform& platform, std::filesystem::path file, bool writable);

    // Reads the file into the record (validated in every case) and tells
    // the user what keeps it from being saved as usual.
    void load(LocomotiveState& state, Random15& random, TrackAllocator& allocator);

    // At the end: asks where a question is due, saves, and after a failure
    // offers to try again or to choose another file until the user gives up.
    // Lets go of the lock.
    void saveAtExit(const LocomotiveState& state);

    // The bytes the drive was loaded from; nullopt when it started on the
    // defaults (no file, or one that could not be read).
    const std::optional<std::string>& bytesAtStart() const { return bytesAtStart_; }

private:
    bool userWantsSave(const LocomotiveState& state);
    void saveUntilDone(const LocomotiveState& state);
    std::string shownName() const;

    Platform& platform_;
    std::filesystem::path file_;
    bool writable_;
    bool unreadable_ = false;  // the file is there but was not read: never overwrite it
    std::unique_ptr<ConfigurationLock> lock_;
    std::optional<std::string> bytesAtStart_;  // nullopt: there was no file
};

}  // namespace zt40
