#include "qt_data_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <memory>

namespace zt40 {
namespace {

// The edit a label names, found as a user finds it: by the label's text.
QLineEdit* editLabelled(QWidget& dialog, const QString& label) {
    for (QLabel* candidate : dialog.findChildren<QLabel*>()) {
        if (candidate->text() == label) return qobject_cast<QLineEdit*>(candidate->buddy());
    }
    return nullptr;
}

QPushButton* button(QWidget& dialog, const QString& text) {
    for (QPushButton* candidate : dialog.findChildren<QPushButton*>()) {
        if (candidate->text() == text) return candidate;
    }
    return nullptr;
}

void retype(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

void deleteClosedDialogs() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

TEST(QtDataDialogTest, TypedValuesReachTheRecordOnlyWhenApplied) {
    auto s = std::make_unique<LocomotiveState>();
    s->trainWeight = 300;
    s->ambientTemp = 293;
    s->cylinderWallTemp = 293.0;
    s->valveLead = 2.0, s->exhaustEnd = 86.0, s->expansionEnd = 91.0;
    s->blastPipeArea = 0.012, s->portArea = 0.01;
    s->waterQuality = 57, s->targetWaterLevel = 329, s->maxGradient = 40;
    s->boilerPower = 742500.0, s->superheaterPower = 8000000.0, s->frictionFactor = 0.3;
    Random15 random;
    QWidget mainWindow;
    mainWindow.show();

    // Open beside the main window: the water level in mm on the gauge scale.
    QPointer<QtDataDialog> dialog = new QtDataDialog(*s, random, &mainWindow);
    dialog->show();
    EXPECT_FALSE(dialog->isModal());
    EXPECT_TRUE(s->dataDialogOpen);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Daten"));
    QLineEdit* level = editLabelled(*dialog, QStringLiteral("Angestrebter Wasserstand im Kessel"));
    ASSERT_TRUE(level);
    EXPECT_EQ(level->text(), QStringLiteral("125"));

    // "Übernehmen" stores the friction typed with a decimal comma and stays open.
    QLineEdit* friction = editLabelled(*dialog, QStringLiteral("Reibfaktor"));
    ASSERT_TRUE(friction);
    retype(friction, QStringLiteral("0,25"));
    QTest::mouseClick(button(*dialog, QStringLiteral("Übernehmen")), Qt::LeftButton);
    EXPECT_DOUBLE_EQ(s->frictionFactor, 0.25);
    EXPECT_TRUE(s->resetSpaces);
    EXPECT_TRUE(dialog->isVisible());

    // "Neu laden" shows what the record holds now.
    QLineEdit* weight = editLabelled(*dialog, QStringLiteral("Zuggewicht                      in Tonnen"));
    ASSERT_TRUE(weight);
    retype(weight, QStringLiteral("1200"));
    s->trainWeight = 320;
    QTest::mouseClick(button(*dialog, QStringLiteral("Neu laden")), Qt::LeftButton);
    EXPECT_EQ(weight->text(), QStringLiteral("320"));

    // "Abbrechen" after editing closes and leaves the record as it was.
    retype(weight, QStringLiteral("1200"));
    QTest::mouseClick(button(*dialog, QStringLiteral("Abbrechen")), Qt::LeftButton);
    deleteClosedDialogs();
    EXPECT_FALSE(dialog);
    EXPECT_EQ(s->trainWeight, 320);
    EXPECT_FALSE(s->dataDialogOpen);

    // Return in an edit is "OK": closed, then applied.
    dialog = new QtDataDialog(*s, random, &mainWindow);
    dialog->show();
    weight = editLabelled(*dialog, QStringLiteral("Zuggewicht                      in Tonnen"));
    ASSERT_TRUE(weight);
    retype(weight, QStringLiteral("1,5"));
    QTest::keyClick(weight, Qt::Key_Return);
    EXPECT_EQ(s->trainWeight, 1);
    EXPECT_FALSE(s->dataDialogOpen);
    ASSERT_TRUE(button(*dialog, QStringLiteral("OK")));
    deleteClosedDialogs();
    EXPECT_FALSE(dialog);
}

}  // namespace
}  // namespace zt40

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
