#include "command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "configuration.h"

namespace zt40 {

namespace fs = std::filesystem;

std::string desktopConfigurationFolder(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome && fs::path(xdgConfigHome).is_absolute()) return (fs::path(xdgConfigHome) / "zt40").string();
    return (fs::path(home ? home : ".") / ".config" / "zt40").string();
}

StartOptions parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Echtzeit-Simulation der Tenderlokomotive ZT 40 mit ihrem Zug.\n"
        "Ohne Optionen liegt die Konfigurationsdatei Konfiguration_ZT40.cfg im aktuellen Verzeichnis."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption file(QStringLiteral("config"),
                                  QStringLiteral("Liest und schreibt die Konfiguration in <Datei>."),
                                  QStringLiteral("Datei"));
    const QCommandLineOption desktop(
        QStringLiteral("desktop"),
        QStringLiteral("Legt die Konfiguration im Benutzerverzeichnis ab ($XDG_CONFIG_HOME/zt40, "
                       "sonst ~/.config/zt40), wie beim Start aus dem Anwendungsmenü."));
    parser.addOption(file);
    parser.addOption(desktop);
    parser.process(arguments);  // answers --help and --version, or reports a bad option, and exits

    StartOptions options{configurationFileName};
    if (parser.isSet(file)) {
        options.configurationFile = parser.value(file).toStdString();
        if (options.configurationFile.empty()) {  // an empty name would keep nothing
            std::fputs("zt40: --config braucht einen Dateinamen.\n", stderr);
            std::exit(1);
        }
    } else if (parser.isSet(desktop)) {
        const std::string folder = desktopConfigurationFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
        std::error_code error;
        fs::create_directories(folder, error);  // a failure shows when the file is written
        options.configurationFile = (fs::path(folder) / configurationFileName).string();
    }
    return options;
}

}  // namespace zt40
