// Qt's key events as the window hands them to the key handler.
#include <gtest/gtest.h>

#include <QInputDevice>
#include <QKeyEvent>

#include "qt_main_window.h"

namespace zt40 {
namespace {

TEST(WindowKeys, OnlyTheNumericPadOperatorsChangeSpeedAndBrake) {
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int virtualKeyCode;
    } cases[] = {
        {Qt::Key_Asterisk, Qt::KeypadModifier, 0x6A},  // faster
        {Qt::Key_Slash, Qt::KeypadModifier, 0x6F},     // slower, down to STOP
        {Qt::Key_Plus, Qt::KeypadModifier, 0x6B},
        {Qt::Key_Minus, Qt::KeypadModifier, 0x6D},
        // Typed on the main keyboard (with Shift on a German layout): no command.
        {Qt::Key_Asterisk, Qt::ShiftModifier, 0},
        {Qt::Key_Slash, Qt::ShiftModifier, 0},
        {Qt::Key_Slash, Qt::NoModifier, 0},
        {Qt::Key_Plus, Qt::NoModifier, 0xBB},
    };
    // A keyboard of the test's own: without an application Qt would make a
    // primary keyboard that nobody ever frees.
    const QInputDevice keyboard(QStringLiteral("test keyboard"), 1, QInputDevice::DeviceType::Keyboard);
    for (const auto& c : cases) {
        const QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers, 0, 0, 0, QString(), false, 1, &keyboard);
        EXPECT_EQ(virtualKey(event), c.virtualKeyCode) << c.key << " " << c.modifiers.toInt();
    }
}

}  // namespace
}  // namespace zt40
