#include "drive_folder.h"

#include <algorithm>
#include <cstdio>
#include <system_error>
#include <vector>

#include "recording_format.h"

namespace zt40 {

namespace fs = std::filesystem;

namespace {

// A recording's name as the folder gives them: the start, maybe a number,
// the ending; only such files are ever removed.
bool isDriveName(const std::string& name) {
    const std::string_view ending = recording::fileExtension;
    if (name.size() < 19 + ending.size() || name.compare(name.size() - ending.size(), ending.size(), ending) != 0) {
        return false;
    }
    const std::string pattern = "dddd-dd-dd_dd-dd-dd";
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const bool digit = name[i] >= '0' && name[i] <= '9';
        if (pattern[i] == 'd' ? !digit : name[i] != pattern[i]) return false;
    }
    return true;
}

std::string stamp(const std::tm& local, const char* format) {
    char text[64];
    std::snprintf(text, sizeof text, format, local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec);
    return text;
}

}  // namespace

fs::path drivesFolderBeside(const fs::path& configurationFile) {
    return configurationFile.parent_path() / "Fahrten";
}

std::string startedAtText(const std::tm& local) { return stamp(local, "%04d-%02d-%02d %02d:%02d:%02d"); }

std::optional<fs::path> newDriveFile(const fs::path& folder, int kept, const std::tm& local, std::string& error) {
    std::error_code status;
    fs::create_directories(folder, status);
    if (status || !fs::is_directory(folder, status)) {
        error = "Der Ordner \"" + folder.string() + "\" lässt sich nicht anlegen" +
                (status ? ": " + status.message() : std::string()) + ".";
        return std::nullopt;
    }
    // The names sort as the drives began: the first ones are the oldest.
    std::vector<std::string> drives;
    for (fs::directory_iterator it(folder, status), end; !status && it != end; it.increment(status)) {
        const std::string name = it->path().filename().string();
        if (isDriveName(name) && it->is_regular_file(status)) drives.push_back(name);
    }
    std::sort(drives.begin(), drives.end());
    const std::size_t keepOld = static_cast<std::size_t>(std::max(kept - 1, 0));
    for (std::size_t i = 0; i + keepOld < drives.size(); ++i) fs::remove(folder / drives[i], status);

    const std::string base = stamp(local, "%04d-%02d-%02d_%02d-%02d-%02d");
    for (int number = 1; number < 1000; ++number) {
        // Appended piece by piece: GCC 12 at -O3 takes "_" + a temporary
        // string for an overlapping copy that cannot happen.
        std::string name = base;
        if (number > 1) {
            name += '_';
            name += std::to_string(number);
        }
        name += recording::fileExtension;
        const fs::path file = folder / name;
        if (!fs::exists(fs::symlink_status(file, status))) return file;
    }
    error = "Im Ordner \"" + folder.string() + "\" ist kein Name für die Aufzeichnung frei.";
    return std::nullopt;
}

}  // namespace zt40
