#include "qt_main_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBitmap>
#include <QCloseEvent>
#include <QCursor>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QStyleHints>

#include "cab_driving.h"
#include "configuration.h"
#include "cursor_shapes.h"
#include "dialog_place.h"
#include "german_ui.h"
#include "held_keys.h"
#include "qt_auto_control_dialog.h"
#include "qt_data_dialog.h"
#include "qt_replay_window.h"
#include "threaded_render.h"
#include "threaded_simulation.h"
#include "virtual_keys.h"

namespace zt40 {

namespace {

// Messages the window posts to itself: a timer id or a repeat command.
const QEvent::Type postedTimerEvent = static_cast<QEvent::Type>(QEvent::User + 1);
const QEvent::Type postedUserEvent = static_cast<QEvent::Type>(QEvent::User + 2);

class PostedEvent final : public QEvent {
public:
    PostedEvent(QEvent::Type type, int id) : QEvent(type), id(id) {}
    const int id;
};

}  // namespace

// Windows virtual-key numbers of Qt's keys. The numeric-pad operators are
// keys of their own; "*" and "/" typed on the main keyboard are no command.
int virtualKey(const QKeyEvent& event) {
    const int key = event.key();
    const bool keypad = event.modifiers() & Qt::KeypadModifier;
    if (keypad) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9) return vk::numpad0 + (key - Qt::Key_0);
        switch (key) {
            case Qt::Key_Plus: return vk::add;
            case Qt::Key_Minus: return vk::subtract;
            case Qt::Key_Asterisk: return vk::multiply;
            case Qt::Key_Slash: return vk::divide;
            case Qt::Key_Period: case Qt::Key_Comma: return vk::decimal;
            case Qt::Key_Enter: return vk::enter;
            default: break;
        }
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return vk::f1 + (key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Backspace: return vk::backspace;
        case Qt::Key_Tab: case Qt::Key_Backtab: return vk::tab;
        case Qt::Key_Return: case Qt::Key_Enter: return vk::enter;
        case Qt::Key_Shift: return vk::shift;
        case Qt::Key_Control: return vk::control;
        case Qt::Key_Alt: case Qt::Key_AltGr: return vk::menu;
        case Qt::Key_Pause: return vk::pause;
        case Qt::Key_Escape: return vk::escape;
        case Qt::Key_Space: return vk::space;
        case Qt::Key_PageUp: return vk::pageUp;
        case Qt::Key_PageDown: return vk::pageDown;
        case Qt::Key_End: return vk::end;
        case Qt::Key_Home: return vk::home;
        case Qt::Key_Left: return vk::left;
        case Qt::Key_Up: return vk::up;
        case Qt::Key_Right: return vk::right;
        case Qt::Key_Down: return vk::down;
        case Qt::Key_Insert: return vk::insert;
        case Qt::Key_Delete: return vk::deleteKey;
        case Qt::Key_Plus: return vk::oemPlus;
        case Qt::Key_Minus: return vk::oemMinus;
        case Qt::Key_Comma: return vk::oemComma;
        case Qt::Key_Period: return vk::oemPeriod;
        default: return 0;
    }
}

namespace {

// A cursor from its drawing: black and white pixels are opaque, the rest clear.
QCursor cursorFrom(const CursorDrawing& drawing) {
    constexpr int size = 32;  // px
    uchar black[size * size / 8] = {};
    uchar opaque[size * size / 8] = {};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const char pixel = drawing.rows[y][x];
            const int byte = (y * size + x) / 8;
            const uchar bit = static_cast<uchar>(1u << (x % 8));
            if (pixel == '#') black[byte] |= bit;
            if (pixel != '.') opaque[byte] |= bit;
        }
    }
    const QBitmap bitmap = QBitmap::fromData(QSize(size, size), black, QImage::Format_MonoLSB);
    const QBitmap mask = QBitmap::fromData(QSize(size, size), opaque, QImage::Format_MonoLSB);
    return QCursor(bitmap, mask, drawing.hotX, drawing.hotY);
}

ShellOptions shellOptions(const std::string& configurationFile, const std::string& drivesFolder, int keptDrives) {
    ShellOptions options{configurationFile, std::nullopt};
    options.drivesFolder = drivesFolder;
    options.keptDrives = keptDrives;
    return options;
}

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::warning: return QMessageBox::Warning;
        case MessageIcon::question: return QMessageBox::Question;
        default: return QMessageBox::Critical;
    }
}

}  // namespace

QtMainWindow::QtMainWindow(const std::string& configurationFile, const std::string& drivesFolder, int keptDrives)
    : drivesFolder_(drivesFolder) {
    setWindowTitle(QStringLiteral("ZT 40"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (CursorShape shape : {CursorShape::standard, CursorShape::hint, CursorShape::grip, CursorShape::plusMinus,
                              CursorShape::weight}) {
        cursors_[static_cast<int>(shape)] = cursorFrom(cursorDrawing(shape));
    }
    cursors_[static_cast<int>(CursorShape::busy)] = QCursor(Qt::WaitCursor);
    setCursor(CursorShape::standard);
    pointerMovable_ = !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    clock_.start();
    const QScreen* screen = QGuiApplication::primaryScreen();
    audio_ = std::make_unique<QtAudioStream>(soundFeed_);
    frames_ = std::make_unique<QtFrameTarget>(*this, screen->size(), screen->devicePixelRatio());
    logic_ = std::make_unique<MainWindowLogic>(
        *this,
        EngineParts{std::make_unique<ThreadedSimulation>(), std::make_unique<ThreadedRender>(*frames_),
                   std::make_unique<CabDriving>(sound_)},
        shellOptions(configurationFile, drivesFolder, keptDrives));
    logic_->onCreate();
}

QtMainWindow::~QtMainWindow() {
    for (QBasicTimer& timer : timers_) timer.stop();
    delete dataDialog_;
    delete autoControlDialog_;
}

void QtMainWindow::setTimer(int id, int periodMs) {
    periods_[id] = periodMs;
    held_[id] = true;
    if (!holding_) timers_[id].start(periodMs, Qt::PreciseTimer, this);  // else once the drive goes on
}

void QtMainWindow::killTimer(int id) {
    held_[id] = false;
    timers_[id].stop();
}

void QtMainWindow::postTimer(int id) { QCoreApplication::postEvent(this, new PostedEvent(postedTimerEvent, id)); }

void QtMainWindow::postUser(int offset) {
    QCoreApplication::postEvent(this, new PostedEvent(postedUserEvent, offset));
}

void QtMainWindow::showMessage(const std::string& text, const std::string& caption, MessageIcon icon) {
    QMessageBox box(qtIcon(icon), QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok,
                    isVisible() ? this : nullptr);
    germanButtons(box);
    box.exec();
}

bool QtMainWindow::askYesNo(const std::string& text, const std::string& caption, bool defaultNo) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, isVisible() ? this : nullptr);
    box.setDefaultButton(defaultNo ? QMessageBox::No : QMessageBox::Yes);
    germanButtons(box);
    return box.exec() == QMessageBox::Yes;
}

SaveFailureChoice QtMainWindow::askAfterFailedSave(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::Retry | QMessageBox::Save | QMessageBox::Discard, isVisible() ? this : nullptr);
    box.setDefaultButton(QMessageBox::Retry);
    box.setEscapeButton(QMessageBox::Discard);
    germanButtons(box);
    box.button(QMessageBox::Save)->setText(QStringLiteral("&Anderswo speichern …"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("&Ohne Speichern beenden"));
    switch (box.exec()) {
        case QMessageBox::Retry: return SaveFailureChoice::retry;
        case QMessageBox::Save: return SaveFailureChoice::elsewhere;
        default: return SaveFailureChoice::quitWithoutSaving;
    }
}

std::string QtMainWindow::chooseSaveFile(const std::string& caption, const std::string& proposed) {
    // Qt's own dialog, whose texts the program gives in German, not the
    // desktop's, which speaks the user's language.
    QFileDialog dialog(isVisible() ? this : nullptr, QString::fromStdString(caption),
                       QString::fromStdString(proposed), QStringLiteral("Konfiguration (*.cfg);;Alle Dateien (*)"));
    germanFileDialog(dialog, QStringLiteral("&Speichern"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst().toStdString();
}

void QtMainWindow::setCursor(CursorShape shape) {
    if (shape == cursorShown_) return;  // the hover logic sets it on every move
    cursorShown_ = shape;
    QWidget::setCursor(cursors_[static_cast<int>(shape)]);
}

bool QtMainWindow::setCursorPosition(int clientX, int clientY) {
    // Where the platform cannot move the pointer (Wayland) drags work without it.
    if (!pointerMovable_) return false;
    QCursor::setPos(mapToGlobal(QPoint(clientX, clientY)));
    return true;
}

void QtMainWindow::placeBesideCab(QWidget& dialog) {
    const auto rect = [](const QRect& r) { return ScreenRect{r.left(), r.top(), r.right() + 1, r.bottom() + 1}; };
    const QScreen* on = screen() ? screen() : QGuiApplication::primaryScreen();
    dialog.adjustSize();
    const QRect client(mapToGlobal(QPoint(0, 0)), size());
    const ScreenPoint at = dialogPlace(rect(frameGeometry()), rect(client), cabCorner(logic_->state()),
                                       dialog.frameGeometry().width(), dialog.frameGeometry().height(),
                                       rect(on->availableGeometry()));
    dialog.move(at.x, at.y);
}

void QtMainWindow::openDataDialog() {
    // Beside the main window, which keeps running; the record tells the
    // logic that it is open.
    dataDialog_ = new QtDataDialog(logic_->state(), logic_->random(), this);
    placeBesideCab(*dataDialog_);
    dataDialog_->show();
    dataDialog_->raise();
    dataDialog_->activateWindow();
}

void QtMainWindow::openAutoControlDialog() {
    // Beside the main window, which keeps running; the settings tell the
    // logic that it is open.
    autoControlDialog_ = new QtAutoControlDialog(logic_->autoControl(), this);
    placeBesideCab(*autoControlDialog_);
    autoControlDialog_->show();
    autoControlDialog_->raise();
    autoControlDialog_->activateWindow();
}

void QtMainWindow::quit(int exitCode) {
    quitting_ = true;
    for (QBasicTimer& timer : timers_) timer.stop();
    modifierRepeat_.stop();
    QCoreApplication::exit(exitCode);
}

bool QtMainWindow::event(QEvent* event) {
    if (event->type() == QEvent::UngrabMouse && buttonsDown_ != Qt::NoButton) {
        buttonsDown_ = Qt::NoButton;  // another window took the pointer: the buttons count as let go
        logic_->onCaptureLost();
    }
    if (event->type() == postedTimerEvent) {
        logic_->onTimer(static_cast<PostedEvent*>(event)->id);
        return true;
    }
    if (event->type() == postedUserEvent) {
        logic_->onUser(static_cast<PostedEvent*>(event)->id);
        return true;
    }
    return QWidget::event(event);
}

void QtMainWindow::timerEvent(QTimerEvent* event) {
    if (event->timerId() == modifierRepeat_.timerId()) {
        repeatModifier();
        return;
    }
    for (int id = 0; id < static_cast<int>(timers_.size()); ++id) {
        if (timers_[id].timerId() == event->timerId()) {
            logic_->onTimer(id);
            return;
        }
    }
    QWidget::timerEvent(event);
}

void QtMainWindow::paintEvent(QPaintEvent* event) {
    // The render thread's finished frame, where it changed or was uncovered;
    // the model's hold for a system repaint is given in resize and show,
    // not here.
    QPainter painter(this);
    frames_->paintLatest(painter, event->region());
}

void QtMainWindow::resizeEvent(QResizeEvent*) {
    // A window moved to a larger screen is resized there at the latest.
    if (const QScreen* now = screen()) frames_->fitScreen(now->size().expandedTo(size()), now->devicePixelRatio());
    logic_->onSize(width(), height());
    logic_->onPaint();  // what the system's repaint after a resize does
}

void QtMainWindow::showEvent(QShowEvent*) { logic_->onPaint(); }

void QtMainWindow::focusInEvent(QFocusEvent*) { logic_->onSetFocus(); }

void QtMainWindow::focusOutEvent(QFocusEvent*) {
    buttonsDown_ = Qt::NoButton;  // the logic lets go of held buttons with the focus
    logic_->onKillFocus();
}

void QtMainWindow::key(QKeyEvent* event, bool down) {
    const int code = virtualKey(*event);
    // Alt and keys pressed with it take the system-key path.
    const bool system = code == vk::menu || (event->modifiers() & Qt::AltModifier);
    const KeyMessage message = down ? (system ? KeyMessage::sysKeyDown : KeyMessage::keyDown)
                                    : (system ? KeyMessage::sysKeyUp : KeyMessage::keyUp);
    // Held Shift and Control do not repeat on X11 or Wayland: repeat them here.
    if (code == vk::shift || code == vk::control) {
        if (down && !event->isAutoRepeat()) {
            heldModifier_ = code;
            modifierRepeat_.start(keyRepeatDelayMs, this);
        } else if (!down) {
            heldModifier_ = 0;
            modifierRepeat_.stop();
        }
    }
    logic_->onKey(message, code);
}

void QtMainWindow::repeatModifier() {
    if (heldModifier_ == 0) return;
    const int rate = std::max(1, QGuiApplication::styleHints()->keyboardAutoRepeatRate());  // per second
    modifierRepeat_.start(1000 / rate, this);
    logic_->onKey(KeyMessage::keyDown, heldModifier_);
}

void QtMainWindow::keyPressEvent(QKeyEvent* event) {
    // F3 is the window's, not the cab's: it never reaches the drive.
    if (event->key() == Qt::Key_F3) {
        if (!event->isAutoRepeat()) openRecording();
        return;
    }
    key(event, true);
}

void QtMainWindow::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat() || event->key() == Qt::Key_F3) return;  // a repeat is a press of its own
    key(event, false);
}

void QtMainWindow::holdDrive() {
    // The timers stand and the drive's clock with them; the events that
    // still come (focus) reach the drive and its recording as ever.
    holding_ = true;
    for (std::size_t id = 0; id < timers_.size(); ++id) {
        held_[id] = timers_[id].isActive();
        timers_[id].stop();
    }
    modifierRepeat_.stop();
    heldModifier_ = 0;
}

void QtMainWindow::resumeDrive() {
    holding_ = false;
    for (std::size_t id = 0; id < timers_.size(); ++id) {
        if (held_[id] && !quitting_) timers_[id].start(periods_[id], Qt::PreciseTimer, this);
    }
}

void QtMainWindow::openRecording() {
    const std::int64_t heldAt = clock_.elapsed();
    holdDrive();
    QFileDialog dialog(this, QStringLiteral("Fahrt wiedergeben"), QString::fromStdString(drivesFolder_),
                       QStringLiteral("Fahrten (*.zt40fahrt);;Alle Dateien (*)"));
    germanFileDialog(dialog, QStringLiteral("&Öffnen"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        QString error;
        if (auto replay = QtReplayWindow::open(dialog.selectedFiles().constFirst(), this, error)) {
            replay->exec();
        } else {
            showMessage(error.toStdString(), "Wiedergabe", MessageIcon::warning);
        }
    }
    pausedMs_ += clock_.elapsed() - heldAt;
    resumeDrive();
}

void QtMainWindow::mouse(MouseMessage message, QMouseEvent* event) {
    // Client coordinates are signed: left of or above the window they are negative.
    const QPoint at = event->position().toPoint();
    logic_->onMouse(message, at.x(), at.y(), 0);
}

void QtMainWindow::mouseMoveEvent(QMouseEvent* event) {
    // A button let go while another window had the pointer never reported
    // its release here: the first move without it does.
    const Qt::MouseButtons lost = buttonsDown_ & ~event->buttons();
    if (lost & Qt::LeftButton) mouse(MouseMessage::leftUp, event);
    if (lost & Qt::RightButton) mouse(MouseMessage::rightUp, event);
    buttonsDown_ &= event->buttons();
    mouse(MouseMessage::move, event);
}

void QtMainWindow::mousePressEvent(QMouseEvent* event) {
    buttonsDown_ |= event->button();
    if (event->button() == Qt::LeftButton) mouse(MouseMessage::leftDown, event);
    else if (event->button() == Qt::RightButton) mouse(MouseMessage::rightDown, event);
}

void QtMainWindow::mouseReleaseEvent(QMouseEvent* event) {
    buttonsDown_ &= ~event->button();
    if (event->button() == Qt::LeftButton) mouse(MouseMessage::leftUp, event);
    else if (event->button() == Qt::RightButton) mouse(MouseMessage::rightUp, event);
}

void QtMainWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    buttonsDown_ |= event->button();
    if (event->button() == Qt::LeftButton) mouse(MouseMessage::leftDoubleClick, event);
}

void QtMainWindow::wheelEvent(QWheelEvent* event) {
    const QPoint at = event->position().toPoint();
    logic_->onMouse(MouseMessage::wheel, at.x(), at.y(), event->angleDelta().y());
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
    if (!quitting_) logic_->onDestroy();
    event->accept();
}

}  // namespace zt40
