#pragma once
// The main window: owns the main copy of the locomotive state and the
// simulation controller, and drives the exchange from its main tick.

#include <QBasicTimer>
#include <QWidget>
#include <memory>

#include "locomotive_state.h"
#include "simulation_controller.h"

namespace zt40 {

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    const LocomotiveState& state() const { return *state_; }

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    std::unique_ptr<LocomotiveState> state_;
    SimulationController simulation_;
    QBasicTimer mainTick_;
};

}  // namespace zt40
