#include "qt_auto_control_dialog.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <memory>

#include "engine_fixtures.h"

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

// Types a value into the edit named `name` and confirms it with the OK beside it.
void enter(QWidget& dialog, const char* name, int okFromTop, const QString& value) {
    auto* edit = dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
    edit->selectAll();
    QTest::keyClicks(edit, value);
    QTest::mouseClick(button(dialog, QStringLiteral("OK"), okFromTop), Qt::LeftButton);
}

// The dialog over the program's own engine on a virtual clock: what the
// driver sets reaches the control, and the control drives by it.
TEST(QtAutoControlDialogTest, WhatTheDriverSetsReachesTheControl) {
    testing::EngineDrive drive([](LocomotiveState& s) { s.trainWeight = 100; });
    AutoControlSettings& settings = drive.engine().autoControl();
    QWidget mainWindow;
    QPointer<QtAutoControlDialog> dialog = new QtAutoControlDialog(settings, &mainWindow);
    dialog->show();

    // With the control off every value is taken at the dialog's next tick.
    QTest::mouseClick(button(*dialog, QStringLiteral("Autosand")), Qt::LeftButton);
    QTest::mouseClick(button(*dialog, QStringLiteral("Rückwärts")), Qt::LeftButton);
    enter(*dialog, "speed", 0, QStringLiteral("30"));
    enter(*dialog, "power", 1, QStringLiteral("40"));
    enter(*dialog, "backPressure", 2, QStringLiteral("2,5"));
    enter(*dialog, "chestPressure", 3, QStringLiteral("12,5"));
    dialog->findChild<QSlider*>(QStringLiteral("minCutoffSlider"))->setValue(50);
    ASSERT_TRUE(QTest::qWaitFor([&] { return settings.minCutoff == 50; }, 2000));
    EXPECT_DOUBLE_EQ(settings.targetSpeed, 30 / 3.6);
    EXPECT_DOUBLE_EQ(settings.targetPower, 80 / 36.0);  // 40 kg/m²h
    EXPECT_DOUBLE_EQ(settings.backPressure, 250000.0);
    EXPECT_DOUBLE_EQ(settings.targetChestPressure, 1250000.0);
    EXPECT_TRUE(settings.autoSand);
    EXPECT_TRUE(settings.reverseRequest);

    // Switched on: the control sands by itself, starts backward and runs at
    // the speed set, notched up to the minimum cut-off set.
    QTest::mouseClick(button(*dialog, QStringLiteral("Geschwindigkeit")), Qt::LeftButton);
    drive.clock().run(drive.engine(), 90000);
    const LocomotiveState& s = drive.state();
    EXPECT_TRUE(s.autoSanding);
    EXPECT_FALSE(settings.reverseRequest);
    EXPECT_NEAR(s.trainSpeed, -30 / 3.6, 2 / 3.6);
    EXPECT_EQ(s.reverser, 50);  // backward gear, 25 %

    // A new target is ramped in at 1 km/h per tick of the dialog and then held.
    enter(*dialog, "speed", 0, QStringLiteral("32"));
    EXPECT_LT(settings.targetSpeed, 32 / 3.6);
    EXPECT_TRUE(QTest::qWaitFor([&] { return settings.targetSpeed == 32 / 3.6; }, 2000));
    dialog->close();
}

}  // namespace
}  // namespace zt40
