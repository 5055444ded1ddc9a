#pragma once
// The program's command line: where the configuration file and the
// recorded drives live, or a drive to watch again. --help and --version answer in German and end the
// program.

#include <QStringList>
#include <string>

namespace zt40 {

struct StartOptions {
    std::string configurationFile;  // path the configuration is read from and written to
    std::string drivesFolder;       // where the drives are recorded
    int keptDrives = 50;            // recordings the folder keeps; 0: none is made
    std::string replayFile;         // a recorded drive to watch instead of driving
};

// Parses the arguments of a QCoreApplication whose German texts are loaded.
// Prints and exits for --help, --version and a bad command line.
StartOptions parseCommandLine(const QStringList& arguments);

// Folder of the configuration of a program started from the desktop menu:
// $XDG_CONFIG_HOME/zt40, or ~/.config/zt40 where that is unset or not absolute.
std::string desktopConfigurationFolder(const char* xdgConfigHome, const char* home);

// Folder of the recorded drives of a program started from the desktop menu:
// $XDG_DATA_HOME/zt40/Fahrten, or ~/.local/share/zt40/Fahrten.
std::string desktopDrivesFolder(const char* xdgDataHome, const char* home);

}  // namespace zt40
