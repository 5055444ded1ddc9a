#pragma once
// The model on its own thread, as the program runs it.

#include "simulation_controller.h"
#include "simulation_port.h"

namespace zt40 {

class ThreadedSimulation final : public SimulationPort {
public:
    bool start(SimulationBlock& mainRecord) override { return controller_.start(mainRecord); }
    bool exchange() override { return controller_.exchange(); }
    void stop() override { controller_.stop(); }

private:
    SimulationController controller_;
};

}  // namespace zt40
