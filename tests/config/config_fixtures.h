#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "locomotive_state.h"
#include "track_list.h"
#include "track_point.h"

namespace zt40::testing {

// Fails every allocation after the first `allowed` ones.
class FailingAllocator : public TrackAllocator {
public:
    explicit FailingAllocator(int allowed) : allowed_(allowed) {}
    TrackPoint* allocate() override { return allowed_-- > 0 ? TrackAllocator::allocate() : nullptr; }

private:
    int allowed_;
};

// A record as the program has it before reading the file: zero, with its
// steam spaces and the first track point.
struct FreshRecord {
    explicit FreshRecord(TrackAllocator& a) : allocator(a), state(std::make_unique<LocomotiveState>()) {
        constructSteamSpaces(*state);
        createFirstTrackPoint(*state, allocator);
    }
    ~FreshRecord() { freeTrackList(*state, allocator); }
    TrackAllocator& allocator;
    std::unique_ptr<LocomotiveState> state;
};

// A directory of its own under the system's temporary directory.
class TemporaryDirectory {
public:
    TemporaryDirectory() {
        std::random_device entropy;
        path_ = std::filesystem::temp_directory_path() / ("zt40-test-" + std::to_string(entropy()));
        std::filesystem::create_directories(path_);
    }
    ~TemporaryDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Runs `work` in a child process without root's rights (as "nobody" when
// the tests run as root), so that file permissions count. Returns the exit
// code `work` returned, or -1 when the rights could not be dropped.
template <class Work>
int exitCodeAsUnprivilegedUser(Work work) {
    constexpr int cannotDrop = 255;
    constexpr unsigned nobody = 65534;
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(nobody) != 0 || ::setuid(nobody) != 0)) std::_Exit(cannotDrop);
        std::_Exit(work());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) return -1;
    if (!WIFEXITED(status) || WEXITSTATUS(status) == cannotDrop) return -1;
    return WEXITSTATUS(status);
}

}  // namespace zt40::testing
