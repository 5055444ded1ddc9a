// Records the tests' whole drive through the window's logic on a virtual
// clock into FOLDER and prints the recording's path: the Python module's
// replay is checked against the runner's on it.
#include <iostream>

#include "window_drive.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::cerr << "usage: zt40_record_drive FOLDER\n";
        return 2;
    }
    zt40::testing::WindowDrive window(argv[1], zt40::testing::ModelThread::inline_);
    const std::filesystem::path recording = window.window->recordingFile();
    window.driveEverything();
    window.window->onDestroy();
    std::cout << recording.string() << '\n';
    return 0;
}
