// Writes the program's four recordings as WAVE files named by their
// resource numbers (116.wav, ...) into the directory given. Runs during
// the build; the files become resources of the program.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "recording_synthesis.h"
#include "wave_file.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    const std::filesystem::path directory = argv[1];
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    for (const zt40::RecordingFormat& format : zt40::recordingFormats) {
        const auto bytes = zt40::waveFileBytes(zt40::synthesiseRecording(format.id));
        const auto path = directory / (std::to_string(static_cast<int>(format.id)) + ".wav");
        std::ofstream file(path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!file) {
            std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
            return 1;
        }
    }
    return 0;
}
