#pragma once
// The Qt window: turns Qt's events into the window messages of the logic
// and implements the platform with QTimer, QMessageBox and QCursor.

#include <QBasicTimer>
#include <QCursor>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>
#include <string>

#include "engine_sound.h"
#include "platform.h"
#include "qt_audio_stream.h"
#include "qt_frame_target.h"
#include "window_logic.h"

namespace zt40 {

class QtDataDialog;
class QtAutoControlDialog;

// The Windows virtual-key number of a Qt key event; 0 for keys without one.
int virtualKey(const QKeyEvent& event);

class QtMainWindow final : public QWidget, public Platform {
    Q_OBJECT
public:
    // The configuration is read from and written to `configurationFile`;
    // each drive is recorded into `drivesFolder`, which keeps the last
    // `keptDrives` (none: no recording).
    QtMainWindow(const std::string& configurationFile, const std::string& drivesFolder, int keptDrives);
    ~QtMainWindow() override;

    // False when the start-up ended the run before the window showed.
    bool startedUp() const { return !logic_->ended(); }

    // Platform.
    void setTimer(int id, int periodMs) override;
    void killTimer(int id) override;
    void postTimer(int id) override;
    void postUser(int offset) override;
    void showMessage(const std::string& text, const std::string& caption, MessageIcon icon) override;
    bool askYesNo(const std::string& text, const std::string& caption, bool defaultNo) override;
    SaveFailureChoice askAfterFailedSave(const std::string& text, const std::string& caption) override;
    std::string chooseSaveFile(const std::string& caption, const std::string& proposed) override;
    void setCursor(CursorShape shape) override;
    bool setCursorPosition(int clientX, int clientY) override;
    void openDataDialog() override;
    void openAutoControlDialog() override;
    void quit(int exitCode) override;
    // The drive's clock stands while a recorded drive is watched.
    std::int64_t tickCount() override { return clock_.elapsed() - pausedMs_; }

protected:
    bool event(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool) override { return false; }  // Tab is a driving key

private:
    void key(QKeyEvent* event, bool down);
    void mouse(MouseMessage message, QMouseEvent* event);
    void repeatModifier();
    // F3: a recorded drive chosen and watched, the drive held meanwhile.
    void openRecording();
    void holdDrive();
    void resumeDrive();
    // Opens beside the cab, on this window's screen.
    void placeBesideCab(QWidget& dialog);

    QElapsedTimer clock_;
    std::array<QBasicTimer, 15> timers_;  // the engine's, and the recording's flush
    std::array<int, 15> periods_{};       // ms, of each timer as last set
    std::array<bool, 15> held_{};         // to run again when the drive goes on
    bool holding_ = false;                // a recorded drive is watched: the timers stand
    std::int64_t pausedMs_ = 0;           // ms the drive was held
    std::string drivesFolder_;
    std::array<QCursor, 6> cursors_;  // by CursorShape
    CursorShape cursorShown_ = CursorShape::busy;
    bool pointerMovable_ = true;           // false on Wayland
    Qt::MouseButtons buttonsDown_ = Qt::NoButton;
    QBasicTimer modifierRepeat_;  // held Shift and Control repeat like other keys
    int heldModifier_ = 0;        // virtual key of the held modifier, 0 none
    SoundFeed soundFeed_;                   // the main tick's scenes to the audio thread
    EngineSound sound_{soundFeed_};
    std::unique_ptr<QtAudioStream> audio_;  // the mixer on the audio device, on its own thread
    std::unique_ptr<QtFrameTarget> frames_;  // outlives the render thread, which the logic owns
    std::unique_ptr<MainWindowLogic> logic_;
    QPointer<QtDataDialog> dataDialog_;  // deleted before the logic whose record it works on
    QPointer<QtAutoControlDialog> autoControlDialog_;  // likewise, before the settings it works on
    bool quitting_ = false;
};

}  // namespace zt40
