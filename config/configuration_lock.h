#pragma once
// The lock a program holds on its configuration file while it runs, so
// that a second program using the same file knows of the first. It is a
// file beside the configuration ("Konfiguration_ZT40.cfg.lock") locked
// with flock, which the system lets go when the program ends, however it
// ends. Where the folder takes no lock file, the configuration file itself
// is locked.

#include <filesystem>

namespace zt40 {

class ConfigurationLock {
public:
    enum class Outcome {
        held,           // this program has the file to itself
        heldElsewhere,  // another program holds it
        unavailable,    // nothing could be locked here; nobody is told
    };

    explicit ConfigurationLock(const std::filesystem::path& configuration);
    ~ConfigurationLock();
    ConfigurationLock(const ConfigurationLock&) = delete;
    ConfigurationLock& operator=(const ConfigurationLock&) = delete;

    Outcome outcome() const { return outcome_; }

private:
    int fd_ = -1;
    Outcome outcome_ = Outcome::unavailable;
};

}  // namespace zt40
