#include "configuration_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

#include "configuration.h"

namespace zt40 {

namespace {

namespace fs = std::filesystem;

// What went wrong, for the user.
std::string germanReason(int error) {
    switch (error) {
        case EACCES:
        case EPERM: return "keine Berechtigung zum Lesen";
        case EISDIR: return "es ist ein Verzeichnis, keine Datei";
        case EIO: return "Ein-/Ausgabefehler beim Lesen des Datenträgers";
        case ELOOP: return "zu viele verkettete symbolische Verknüpfungen";
        case ENAMETOOLONG: return "der Name ist zu lang";
        default: return "Systemfehler Nr. " + std::to_string(error);
    }
}

// The whole file, or why it cannot be read. `missing` when there is none.
std::optional<std::string> readWholeFile(const fs::path& file, std::string& bytes, bool& missing) {
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    missing = status.type() == fs::file_type::not_found;
    if (missing) return std::nullopt;
    if (error) return germanReason(error.value());
    if (status.type() == fs::file_type::directory) return germanReason(EISDIR);
    // A pipe or a device would block the start or never end.
    if (status.type() != fs::file_type::regular) return "es ist keine gewöhnliche Datei";

    std::FILE* in = std::fopen(file.c_str(), "rb");
    if (!in) return germanReason(errno);
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) bytes.append(buffer, got);
    const int readError = std::ferror(in) ? errno : 0;
    std::fclose(in);
    if (readError != 0) return germanReason(readError);
    return std::nullopt;
}

// The file a link finally points to (the path itself when it is no link).
fs::path linkTarget(const fs::path& file) {
    fs::path target = file;
    std::error_code error;
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(target, error)); ++hops) {
        const fs::path next = fs::read_symlink(target, error);
        if (error) break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

// All bytes to `fd` and onto the disk.
bool writeAllAndSync(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<std::size_t>(written);
    }
    return ::fsync(fd) == 0;
}

// Rewrites an existing file in place: the last resort where its folder
// takes no new file.
SaveResult rewriteInPlace(const fs::path& target, const std::string& bytes) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return SaveResult::failed;
    const bool written = writeAllAndSync(fd, bytes);
    return ::close(fd) == 0 && written ? SaveResult::saved : SaveResult::failed;
}

}  // namespace

std::optional<std::string> loadConfiguration(const fs::path& file, LocomotiveState& state, Random15& random,
                                             TrackAllocator& allocator) {
    std::string bytes;
    bool missing = false;
    std::optional<std::string> problem = readWholeFile(file, bytes, missing);
    if (!problem && !missing) readConfiguration(bytes, state, allocator);
    // Without a file the run state is implausible (a zero wheel angle), so
    // the defaults set `stateDefaulted` by themselves.
    validateConfiguration(state, true, random);
    return problem;
}

SaveResult writeFileReplacing(const fs::path& file, const std::string& bytes) {
    const fs::path target = linkTarget(file);
    std::error_code error;
    const fs::file_status old = fs::status(target, error);
    const bool replacing = fs::is_regular_file(old);

    fs::path temporary = target;
    temporary += ".tmp";
    // A new file gets the usual permissions less the user's mask; a
    // replaced one keeps its own.
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC,
                          replacing ? 0600 : 0666);
    if (fd < 0) {
        const bool folderClosed = errno == EACCES || errno == EPERM;
        return folderClosed && replacing ? rewriteInPlace(target, bytes) : SaveResult::failed;
    }
    const auto keptMode = static_cast<mode_t>(old.permissions() & fs::perms::mask);
    const bool written = writeAllAndSync(fd, bytes) && (!replacing || ::fchmod(fd, keptMode) == 0);
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return SaveResult::failed;
    }
    // The rename itself onto the disk.
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return SaveResult::saved;
}

SaveResult saveConfiguration(const fs::path& file, const LocomotiveState& state) {
    return writeFileReplacing(file, configurationText(state));
}

}  // namespace zt40
