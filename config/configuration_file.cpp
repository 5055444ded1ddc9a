#include "configuration_file.h"

#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "configuration.h"

namespace zt40 {

void loadConfiguration(const std::filesystem::path& file, LocomotiveState& state, Random15& random,
                       TrackAllocator& allocator) {
    std::ifstream in(file, std::ios::binary);
    if (in) {
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        readConfiguration(bytes, state, allocator);
    }
    // Without a file the run state is implausible (a zero wheel angle), so
    // the defaults set `stateDefaulted` by themselves.
    validateConfiguration(state, true, random);
}

bool writeFileReplacing(const std::filesystem::path& file, const std::string& bytes) {
    std::filesystem::path temporary = file;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return true;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return true;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, file, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return true;
    }
    return false;
}

bool saveConfiguration(const std::filesystem::path& file, LocomotiveState& state, TrackAllocator& allocator) {
    return writeFileReplacing(file, takeConfigurationText(state, allocator));
}

}  // namespace zt40
