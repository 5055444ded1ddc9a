#include "main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>

namespace zt40 {
namespace {

TEST(MainWindow, TitleAndTheMainTickDrivesTheModel) {
    MainWindow window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Ziruvarovuzidarivaviveru"));
    window.show();
    QElapsedTimer clock;
    clock.start();
    while (window.state().simTime < 0.1 && clock.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_GE(window.state().simTime, 0.1);  // the exchange ran on the 14 ms tick
}

}  // namespace
}  // namespace zt40

int main(int argc, char** argv) {
    // Without a display the tests draw offscreen.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
