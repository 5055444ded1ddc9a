#include "configuration_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "configuration_file.h"

namespace zt40 {

namespace {

// The lock's file: beside the configuration's real file, where every link to it leads.
std::filesystem::path lockFileOf(const std::filesystem::path& configuration) {
    std::filesystem::path lock = linkTarget(configuration);
    lock += ".lock";
    return lock;
}

}  // namespace

ConfigurationLock::ConfigurationLock(const std::filesystem::path& configuration) {
    fd_ = ::open(lockFileOf(configuration).c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd_ < 0) fd_ = ::open(configuration.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return;
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        outcome_ = Outcome::held;
        return;
    }
    if (errno == EWOULDBLOCK) outcome_ = Outcome::heldElsewhere;
    ::close(fd_);
    fd_ = -1;
}

ConfigurationLock::~ConfigurationLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace zt40
