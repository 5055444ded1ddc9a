#pragma once
// The program's command line: where the configuration file lives, and the
// one-frame picture. --help and --version answer in German and end the
// program.

#include <QStringList>
#include <string>

namespace zt40 {

struct StartOptions {
    std::string configurationFile;  // path the configuration is read from and written to
};

// Parses the arguments of a QCoreApplication whose German texts are loaded.
// Prints and exits for --help, --version and a bad command line.
StartOptions parseCommandLine(const QStringList& arguments);

// Folder of the configuration of a program started from the desktop menu:
// $XDG_CONFIG_HOME/zt40, or ~/.config/zt40 where that is unset or not absolute.
std::string desktopConfigurationFolder(const char* xdgConfigHome, const char* home);

}  // namespace zt40
