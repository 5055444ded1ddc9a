#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include "main_window.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    zt40::MainWindow window;
    // The design area is 8000 x 5851 mm; open at that aspect over most of the screen.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const int height = screen.height() * 4 / 5;
    window.resize(height * 8000 / 5851, height);
    window.show();
    return application.exec();
}
