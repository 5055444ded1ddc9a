#include "temporary_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>
#include <system_error>

namespace zt40 {

namespace {

namespace fs = std::filesystem;

constexpr const char* suffix = ".tmp";
constexpr std::size_t tagLength = 8;  // hexadecimal digits between the target's name and the suffix

std::string randomTag(std::random_device& entropy) {
    constexpr const char* digits = "0123456789abcdef";
    std::string tag;
    for (std::size_t i = 0; i < tagLength; ++i) tag += digits[entropy() % 16];
    return tag;
}

bool isTag(std::string_view text) {
    if (text.size() != tagLength) return false;
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

// A name a save of `target` gives its temporary file; also the one name
// earlier versions used for all of them.
bool isTemporaryName(const std::string& name, const std::string& targetName) {
    if (name == targetName + suffix) return true;
    const std::size_t prefix = targetName.size() + 1;
    return name.size() == prefix + tagLength + 4 && name.starts_with(targetName + ".") && name.ends_with(suffix) &&
           isTag(std::string_view(name).substr(prefix, tagLength));
}

// Whether `fd` is still the file the folder shows under `path`.
bool stillNamed(int fd, const fs::path& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}

}  // namespace

TemporaryFile createTemporaryFile(const fs::path& target, unsigned mode) {
    std::random_device entropy;
    constexpr int attempts = 100;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        // Appended piece by piece: GCC 12 at -O3 takes "." + a temporary
        // string for an overlapping copy that cannot happen.
        fs::path path = target;
        path += '.';
        path += randomTag(entropy);
        path += suffix;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return {-1, {}, errno};
        }
        // Another save may have taken it for a stale one between its making
        // and the lock: then it is gone from the folder, and a new name is tried.
        if (::flock(fd, LOCK_EX) == 0 && stillNamed(fd, path)) return {fd, path, 0};
        ::close(fd);
    }
    return {-1, {}, EEXIST};
}

void removeStaleTemporaryFiles(const fs::path& target) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string targetName = target.filename().string();
    std::error_code error;
    for (fs::directory_iterator entry(folder, fs::directory_options::skip_permission_denied, error), end;
         !error && entry != end; entry.increment(error)) {
        const fs::path path = entry->path();
        if (!isTemporaryName(path.filename().string(), targetName)) continue;
        // Only this user's plain files, and only those no save holds.
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != ::geteuid()) continue;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && stillNamed(fd, path)) ::unlink(path.c_str());
        ::close(fd);
    }
}

}  // namespace zt40
