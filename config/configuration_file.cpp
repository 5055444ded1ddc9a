#include "configuration_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

#include "configuration.h"
#include "file_reasons.h"
#include "temporary_file.h"

namespace zt40 {

namespace {

namespace fs = std::filesystem;

// The whole file, or why it cannot be read. `missing` when there is none.
std::optional<std::string> readWholeFile(const fs::path& file, std::string& bytes, bool& missing) {
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    missing = status.type() == fs::file_type::not_found;
    if (missing) return std::nullopt;
    if (error) return readFailureReason(error.value());
    if (status.type() == fs::file_type::directory) return readFailureReason(EISDIR);
    // A pipe or a device would block the start or never end.
    if (status.type() != fs::file_type::regular) return "es ist keine gewöhnliche Datei";

    std::FILE* in = std::fopen(file.c_str(), "rb");
    if (!in) return readFailureReason(errno);
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) bytes.append(buffer, got);
    const int readError = std::ferror(in) ? errno : 0;
    std::fclose(in);
    if (readError != 0) return readFailureReason(readError);
    return std::nullopt;
}

SaveReport saved() { return {SaveResult::saved, {}}; }
SaveReport failed(int error) { return {SaveResult::failed, writeFailureReason(error)}; }

// All bytes to `fd` from `offset` on; 0 or the errno of the failure.
int writeAll(int fd, const std::string& bytes, off_t offset) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::pwrite(fd, bytes.data() + done, bytes.size() - done, offset + off_t(done));
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return errno;
        if (written == 0) return EIO;
        done += static_cast<std::size_t>(written);
    }
    return 0;
}

// The bytes of an open file; 0 or the errno of the failure.
int readAll(int fd, std::string& bytes) {
    char buffer[65536];
    for (off_t offset = 0;;) {
        const ssize_t got = ::pread(fd, buffer, sizeof buffer, offset);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return errno;
        if (got == 0) return 0;
        bytes.append(buffer, static_cast<std::size_t>(got));
        offset += got;
    }
}

// `bytes` in place of the file's text from its start; 0 or the errno.
int replaceText(int fd, const std::string& bytes) {
    if (const int error = writeAll(fd, bytes, 0)) return error;
    if (::ftruncate(fd, off_t(bytes.size())) != 0) return errno;
    return ::fsync(fd) == 0 ? 0 : errno;
}

// Rewrites an existing file in place: the last resort where its folder
// takes no new file. The room for the whole text is reserved before the
// first byte changes, and should writing fail all the same the old text
// goes back, so that a full disk never costs the only copy.
SaveReport rewriteInPlace(const fs::path& target, const std::string& bytes) {
    const int fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return failed(errno);
    std::string old;
    int error = readAll(fd, old);
    if (error == 0 && bytes.size() > old.size()) {
        error = ::posix_fallocate(fd, 0, off_t(bytes.size()));
        // The reservation may have grown the file before it gave up.
        if (error != 0) (void)::ftruncate(fd, off_t(old.size()));
    }
    if (error == 0) {
        error = replaceText(fd, bytes);
        if (error != 0) replaceText(fd, old);
    }
    ::close(fd);
    return error == 0 ? saved() : failed(error);
}

// Makes a rename in `folder` durable.
void syncFolder(const fs::path& target) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

}  // namespace

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

std::optional<std::string> loadConfiguration(const fs::path& file, LocomotiveState& state, Random15& random,
                                             TrackAllocator& allocator, std::optional<std::string>* bytesRead) {
    std::string bytes;
    bool missing = false;
    std::optional<std::string> problem = readWholeFile(file, bytes, missing);
    std::optional<std::string> read;
    if (!problem && !missing) read = std::move(bytes);
    loadConfigurationBytes(read, state, random, allocator);
    if (bytesRead) *bytesRead = std::move(read);
    return problem;
}

void loadConfigurationBytes(const std::optional<std::string>& bytes, LocomotiveState& state, Random15& random,
                            TrackAllocator& allocator) {
    if (bytes) readConfiguration(*bytes, state, allocator);
    // Without a file the run state is implausible (a zero wheel angle), so
    // the defaults set `stateDefaulted` by themselves.
    validateConfiguration(state, true, random);
}

std::optional<std::string> currentBytes(const fs::path& file) {
    std::string bytes;
    bool missing = false;
    if (readWholeFile(file, bytes, missing) || missing) return std::nullopt;
    return bytes;
}

SaveReport writeFileReplacing(const fs::path& file, const std::string& bytes) {
    const fs::path target = linkTarget(file);
    std::error_code error;
    const fs::file_status old = fs::status(target, error);
    const bool replacing = fs::is_regular_file(old);

    removeStaleTemporaryFiles(target);
    // A new file gets the usual permissions less the user's mask; a
    // replaced one keeps its own.
    const TemporaryFile temporary = createTemporaryFile(target, replacing ? 0600 : 0666);
    if (temporary.fd < 0) {
        const bool folderClosed = temporary.error == EACCES || temporary.error == EPERM;
        return folderClosed && replacing ? rewriteInPlace(target, bytes) : failed(temporary.error);
    }
    const auto keptMode = static_cast<mode_t>(old.permissions() & fs::perms::mask);
    int problem = writeAll(temporary.fd, bytes, 0);
    if (problem == 0 && replacing && ::fchmod(temporary.fd, keptMode) != 0) problem = errno;
    if (problem == 0 && ::fsync(temporary.fd) != 0) problem = errno;
    // Renamed while still locked, so that no other save takes it for a stale one.
    if (problem == 0 && std::rename(temporary.path.c_str(), target.c_str()) != 0) problem = errno;
    if (problem != 0) ::unlink(temporary.path.c_str());
    ::close(temporary.fd);
    if (problem != 0) return failed(problem);
    syncFolder(target);
    return saved();
}

SaveReport saveConfiguration(const fs::path& file, const LocomotiveState& state) {
    return writeFileReplacing(file, configurationText(state));
}

}  // namespace zt40
