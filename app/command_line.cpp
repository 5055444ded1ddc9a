#include "command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "configuration.h"
#include "drive_folder.h"

namespace zt40 {

namespace fs = std::filesystem;

std::string desktopConfigurationFolder(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome && fs::path(xdgConfigHome).is_absolute()) return (fs::path(xdgConfigHome) / "zt40").string();
    return (fs::path(home ? home : ".") / ".config" / "zt40").string();
}

std::string desktopDrivesFolder(const char* xdgDataHome, const char* home) {
    if (xdgDataHome && fs::path(xdgDataHome).is_absolute()) return (fs::path(xdgDataHome) / "zt40" / "Fahrten").string();
    return (fs::path(home ? home : ".") / ".local" / "share" / "zt40" / "Fahrten").string();
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
    const QCommandLineOption keep(
        QStringLiteral("keep-drives"),
        QStringLiteral("Jede Fahrt wird im Ordner Fahrten neben der Konfiguration aufgezeichnet; er behält die "
                       "letzten <Anzahl> (Vorgabe 50, 0: keine Aufzeichnung)."),
        QStringLiteral("Anzahl"));
    const QCommandLineOption replay(QStringLiteral("replay"),
                                    QStringLiteral("Zeigt die aufgezeichnete Fahrt <Datei> noch einmal (F3 im "
                                                   "Fenster wählt eine aus)."),
                                    QStringLiteral("Datei"));
    parser.addOption(file);
    parser.addOption(desktop);
    parser.addOption(keep);
    parser.addOption(replay);
    parser.process(arguments);  // answers --help and --version, or reports a bad option, and exits

    StartOptions options;
    options.configurationFile = configurationFileName;
    if (parser.isSet(keep)) {
        bool number = false;
        options.keptDrives = parser.value(keep).toInt(&number);
        if (!number || options.keptDrives < 0) {
            std::fputs("zt40: --keep-drives braucht eine Anzahl ab 0.\n", stderr);
            std::exit(1);
        }
    }
    if (parser.isSet(replay)) {
        options.replayFile = parser.value(replay).toStdString();
        if (options.replayFile.empty()) {
            std::fputs("zt40: --replay braucht einen Dateinamen.\n", stderr);
            std::exit(1);
        }
    }
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
        options.drivesFolder = desktopDrivesFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    }
    if (options.drivesFolder.empty()) options.drivesFolder = drivesFolderBeside(options.configurationFile).string();
    return options;
}

}  // namespace zt40
