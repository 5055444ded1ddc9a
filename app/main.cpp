#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include "command_line.h"
#include "german_ui.h"
#include "qt_audio_stream.h"
#include "qt_main_window.h"
#include "qt_replay_window.h"
#include "window_logic.h"

int main(int argc, char* argv[]) {
    QCoreApplication::setApplicationName(QStringLiteral("zt40"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZT40_VERSION));
    zt40::StartOptions options;
    {
        // The command line first, so that --help needs no display.
        QCoreApplication parsing(argc, argv);
        zt40::loadGermanQtTexts(parsing);
        options = zt40::parseCommandLine(parsing.arguments());
    }
    QApplication application(argc, argv);
    zt40::loadGermanQtTexts(application);

    // A recorded drive watched again: no notice, no configuration, no drive.
    if (!options.replayFile.empty()) {
        QString error;
        auto replay = zt40::QtReplayWindow::open(QString::fromStdString(options.replayFile), nullptr, error);
        if (!replay) {
            QMessageBox box(QMessageBox::Warning, QStringLiteral("Wiedergabe"), error, QMessageBox::Ok);
            zt40::germanButtons(box);
            box.exec();
            return 1;
        }
        replay->exec();
        // Watched to the end or not, a drive that departed from its
        // recording is a failure the exit status says.
        const zt40::Replay::Outcome outcome = replay->replay().outcome();
        replay.reset();  // its render thread ends with it
        return outcome == zt40::Replay::Outcome::departed || outcome == zt40::Replay::Outcome::unreadable ? 1 : 0;
    }

    // The operating instructions first, as on the real engine's notice board.
    QMessageBox notice(QMessageBox::Warning, QStringLiteral("Hinweis"),
                       QString::fromUtf8(zt40::MainWindowLogic::startupNotice()), QMessageBox::Ok);
    zt40::germanButtons(notice);
    notice.exec();

    int code = 0;
    {
        zt40::QtMainWindow window(options.configurationFile, options.drivesFolder, options.keptDrives);
        if (window.startedUp()) {
            // The whole design area of 8000 x 5851 mm in view, at its aspect ratio.
            const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
            const int height = std::min(screen.height() * 9 / 10, screen.width() * 9 / 10 * 5851 / 8000);
            window.resize(height * 8000 / 5851, height);
            window.show();
            code = application.exec();
        }
    }
    // The window has saved the configuration and stopped its threads.
    zt40::exitWithoutAudioTeardown(code);
}
