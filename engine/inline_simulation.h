#pragma once
// The model run in the exchange itself, for tests and the headless runner.

#include "simulation_port.h"
#include "synchronous_simulation.h"

namespace zt40 {

class InlineSimulation final : public SimulationPort {
public:
    bool start(SimulationBlock& mainRecord) override { return simulation_.start(mainRecord); }
    bool exchange() override { return simulation_.exchange(); }
    void stop() override { simulation_.stop(); }
    const SimulationModel& model() const { return simulation_.model(); }

private:
    SynchronousSimulation simulation_;
};

}  // namespace zt40
