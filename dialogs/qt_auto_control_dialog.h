#pragma once
// The dialog "Autosteuer": mode and direction buttons, presets and five
// trackbars with their edits over the automatic control's settings. It runs
// beside the main window without blocking it; AutoControlDialogModel holds
// the rules, the widget only moves values between controls and rules.

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <array>

#include "auto_control_dialog.h"

class QGroupBox;
class QLineEdit;

namespace zt40 {

class SelectionSlider;

class QtAutoControlDialog final : public QDialog {
    Q_OBJECT
public:
    // Opens on the control's settings; `mainWindow` comes to the front when
    // the dialog closes by OK or Escape. The dialog deletes itself once closed.
    QtAutoControlDialog(AutoControlSettings& settings, QWidget* mainWindow);

    void accept() override;  // OK
    void reject() override;  // Escape

protected:
    void closeEvent(QCloseEvent* event) override;  // the close box

private:
    void build();
    void showSettings();
    void showCaptions();
    void showBands();
    void end(bool raiseMainWindow);

    AutoControlDialogModel model_;
    std::array<SelectionSlider*, autoSettingCount> sliders_{};
    std::array<QLineEdit*, autoSettingCount> edits_{};
    QGroupBox* powerGroup_ = nullptr;
    QGroupBox* speedGroup_ = nullptr;
    QGroupBox* backPressureGroup_ = nullptr;
    QTimer ramp_;
    bool ended_ = false;
    QPointer<QWidget> mainWindow_;
};

}  // namespace zt40
