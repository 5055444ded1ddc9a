#include "qt_auto_control_dialog.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTest>

namespace zt40 {
namespace {

QPushButton* button(QWidget& dialog, const QString& text, int which = 0) {
    for (QPushButton* candidate : dialog.findChildren<QPushButton*>()) {
        if (candidate->text() == text && which-- == 0) return candidate;
    }
    return nullptr;
}

TEST(QtAutoControlDialogTest, ModeEditsAndRampsReachTheSettings) {
    AutoControlSettings settings;
    QWidget mainWindow;
    QPointer<QtAutoControlDialog> dialog = new QtAutoControlDialog(settings, &mainWindow);
    dialog->show();
    EXPECT_TRUE(settings.dialogOpen);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Automatische Steuerung Aus"));

    QTest::mouseClick(button(*dialog, QStringLiteral("Geschwindigkeit")), Qt::LeftButton);
    EXPECT_TRUE(settings.controlOn && settings.speedMode);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Automatische Steuerung Geschwindigkeit"));

    // 61 km/h typed and confirmed by the OK beside it (the second "OK" from the top).
    auto* speed = dialog->findChild<QLineEdit*>(QStringLiteral("speed"));
    speed->selectAll();
    QTest::keyClicks(speed, QStringLiteral("61"));
    QTest::mouseClick(button(*dialog, QStringLiteral("OK"), 0), Qt::LeftButton);
    EXPECT_EQ(dialog->findChild<QSlider*>(QStringLiteral("speedSlider"))->value(), 61);

    // The control is on: the target follows at 1 km/h per 200 ms, some
    // steps on and still far from 61 km/h.
    EXPECT_TRUE(QTest::qWaitFor([&] { return settings.targetSpeed > 0.5; }, 5000));
    EXPECT_LT(settings.targetSpeed, 61 / 3.6);

    QTest::keyClick(dialog, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(settings.dialogOpen);
    EXPECT_TRUE(dialog.isNull());
}

}  // namespace
}  // namespace zt40
