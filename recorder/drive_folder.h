#pragma once
// The folder "Fahrten" that keeps the recorded drives, one file each,
// named by the date and time the drive began; the oldest go once more
// than the folder keeps are there.

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

namespace zt40 {

inline constexpr int keptDrivesByDefault = 50;

// "Fahrten" beside the configuration file.
std::filesystem::path drivesFolderBeside(const std::filesystem::path& configurationFile);

// "2024-05-01 14:03:22" of a local time.
std::string startedAtText(const std::tm& local);

// Makes the folder if need be, removes the oldest recordings so that
// `kept` - 1 remain, and names a new file for a drive begun at `local`
// ("2024-05-01_14-03-22.zt40fahrt", with "_2" and on when that is taken).
// nullopt and `error` (German) when the folder cannot be made.
std::optional<std::filesystem::path> newDriveFile(const std::filesystem::path& folder, int kept,
                                                  const std::tm& local, std::string& error);

}  // namespace zt40
