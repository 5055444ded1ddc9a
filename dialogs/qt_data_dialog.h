#pragma once
// The dialog "Daten": fourteen edits over the main record. It runs beside the
// main window without blocking it; the rules of filling and applying live in
// DataDialogSession, the widget only moves texts between edits and rules.

#include <QDialog>
#include <QPointer>
#include <array>

#include "data_dialog_rules.h"

class QLineEdit;

namespace zt40 {

class QtDataDialog final : public QDialog {
    Q_OBJECT
public:
    // Opens on the main record; `mainWindow` comes to the front when the
    // dialog closes. The dialog deletes itself once closed.
    QtDataDialog(LocomotiveState& state, Random15& random, QWidget* mainWindow);

    // Escape and the close box: closes without applying.
    void reject() override;

private:
    void build();
    void showTexts(const DataTexts& texts);
    DataTexts typed() const;
    void reload();
    void apply();
    void applyAndClose();
    void raiseMainWindow();

    DataDialogSession session_;
    std::array<QLineEdit*, dataFieldCount> edits_{};
    QPointer<QWidget> mainWindow_;
};

}  // namespace zt40
