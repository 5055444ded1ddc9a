#pragma once
// The temporary files a save writes beside its target before it replaces
// the target: each under a name of its own ("Konfiguration_ZT40.cfg.
// 3fa94c07.tmp"), locked while its save runs, so that two programs never
// write into one, and a later save can tell a file left behind by an
// interrupted save (no lock) from one in use.

#include <filesystem>

namespace zt40 {

struct TemporaryFile {
    int fd = -1;                  // open for writing and locked; -1 on failure
    std::filesystem::path path;
    int error = 0;                // errno when it could not be made
};

// A new temporary file for `target` with permissions `mode`.
TemporaryFile createTemporaryFile(const std::filesystem::path& target, unsigned mode);

// Removes this user's temporary files of `target` that no save holds.
void removeStaleTemporaryFiles(const std::filesystem::path& target);

}  // namespace zt40
