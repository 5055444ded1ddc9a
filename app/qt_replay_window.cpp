#include "qt_replay_window.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include "german_ui.h"
#include "qt_main_window.h"
#include "threaded_render.h"
#include "virtual_keys.h"

namespace zt40 {

namespace {

constexpr int paceMs = 14;  // ms between two catch-ups with the clock
constexpr qint64 workPerPaceMs = 40;  // ms of the machine one catch-up may take at most

}  // namespace

std::unique_ptr<QtReplayWindow> QtReplayWindow::open(const QString& file, QWidget* parent, QString& error) {
    std::unique_ptr<QtReplayWindow> window(new QtReplayWindow(file, parent));
    std::string problem;
    window->replay_ = Replay::open(file.toStdString(), std::make_unique<ThreadedRender>(*window->frames_), problem);
    if (!window->replay_) {
        error = QString::fromStdString(problem);
        return nullptr;
    }
    window->player_ = std::make_unique<ReplayPlayer>(*window->replay_);
    window->showState();
    return window;
}

QtReplayWindow::QtReplayWindow(const QString& file, QWidget* parent)
    : QDialog(parent), name_(QFileInfo(file).fileName()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    const QScreen* screen = QGuiApplication::primaryScreen();
    frames_ = std::make_unique<QtFrameTarget>(*this, screen->size(), screen->devicePixelRatio(),
                                              QtFrameTarget::Shown::scaled);
    // The whole design area in view at its aspect ratio, as the main window.
    const QRect available = screen->availableGeometry();
    const int height = std::min(available.height() * 9 / 10, available.width() * 9 / 10 * 5851 / 8000);
    resize(height * 8000 / 5851, height);
}

QtReplayWindow::~QtReplayWindow() {
    pace_.stop();
    replay_.reset();  // the render thread ends before the frames it draws on go
}

void QtReplayWindow::showEvent(QShowEvent*) {
    clock_.start();
    pace_.start(paceMs, Qt::PreciseTimer, this);
}

void QtReplayWindow::timerEvent(QTimerEvent* event) {
    if (event->timerId() != pace_.timerId()) {
        QDialog::timerEvent(event);
        return;
    }
    QElapsedTimer work;
    work.start();
    player_->advance(clock_.restart(), [&] { return work.elapsed() < workPerPaceMs; });
    // The frames at the recorded window's size, the screen's at least.
    const LocomotiveState& s = replay_->engine().state();
    const QSize recorded(std::max(s.clientWidth, 1), std::max(s.clientHeight, 1));
    if (recorded != frameSize_) {
        frameSize_ = recorded;
        const QScreen* now = screen();
        frames_->fitScreen(now->size().expandedTo(recorded), now->devicePixelRatio());
    }
    showState();
    if (player_->over()) {
        pace_.stop();
        reportEnd();
    }
}

void QtReplayWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (frameSize_.isEmpty()) return;
    // The recorded window's picture, as large as fits at its aspect ratio.
    const QSize fitted = frameSize_.scaled(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
    frames_->paintLatest(painter, QRect(QPoint(0, 0), frameSize_), target);
}

void QtReplayWindow::keyPressEvent(QKeyEvent* event) {
    switch (virtualKey(*event)) {
        case vk::multiply: player_->faster(); break;
        case vk::divide: player_->slower(); break;
        case vk::escape: QDialog::keyPressEvent(event); return;  // closes
        default: return;  // the drive's keys are the recording's
    }
    showState();
}

void QtReplayWindow::showState() {
    QString title = QStringLiteral("ZT 40 – Wiedergabe ") +
                    QString::fromUtf8(player_->speed().label().data(), static_cast<int>(player_->speed().label().size())) +
                    QStringLiteral(" – ") + name_;
    if (player_->over()) title += QStringLiteral(" – zu Ende");
    setWindowTitle(title);
}

void QtReplayWindow::reportEnd() {
    if (reported_) return;
    reported_ = true;
    const Replay::Outcome outcome = replay_->outcome();
    const bool alike = outcome == Replay::Outcome::finished || outcome == Replay::Outcome::cut;
    QMessageBox box(alike ? QMessageBox::Information : QMessageBox::Warning, QStringLiteral("Wiedergabe"),
                    QString::fromStdString(replay_->report()), QMessageBox::Ok, this);
    germanButtons(box);
    box.exec();
}

}  // namespace zt40
