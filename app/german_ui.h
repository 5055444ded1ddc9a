#pragma once
// German for Qt's own texts (standard buttons, edit menus, dialogs),
// whatever the user's locale: the program speaks German only.

#include <QMessageBox>

class QCoreApplication;
class QFileDialog;

namespace zt40 {

// Loads Qt's German translation where the system has it. Returns false when
// it has not; the buttons the program shows then still read German through
// germanButtons.
bool loadGermanQtTexts(QCoreApplication& application);

// Gives a message box's standard buttons their German texts explicitly.
void germanButtons(QMessageBox& box);

// Qt's own file dialog (not the desktop's, which speaks the user's
// language) with German labels; `accept` names its button.
void germanFileDialog(QFileDialog& dialog, const QString& accept);

}  // namespace zt40
