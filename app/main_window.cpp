#include "main_window.h"

#include <QTimerEvent>

namespace zt40 {

namespace {
constexpr int mainTickMs = 14;
constexpr double defaultStepInterval = 0.015;  // s between exchanges
}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent), state_(std::make_unique<LocomotiveState>()) {
    setWindowTitle(QStringLiteral("Ziruvarovuzidarivaviveru"));
    constructSteamSpaces(*state_);
    state_->stepInterval = defaultStepInterval;
    state_->fineTimer = true;
    simulation_.start(*state_);
    mainTick_.start(mainTickMs, Qt::PreciseTimer, this);
}

MainWindow::~MainWindow() {
    mainTick_.stop();
    simulation_.stop();
}

void MainWindow::timerEvent(QTimerEvent* event) {
    if (event->timerId() != mainTick_.timerId()) return QWidget::timerEvent(event);
    simulation_.exchange();
}

}  // namespace zt40
