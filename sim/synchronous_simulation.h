#pragma once
// The simulation exchange without a thread: the same hand-over of fields,
// followed at once by the batch of sub-steps. Results reach the main copy
// at the next exchange, as with the thread. Tests and the headless runner
// drive the program's logic with it, deterministically.

#include <memory>

#include "locomotive_state.h"
#include "simulation_model.h"
#include "state_flow.h"

namespace zt40 {

class SynchronousSimulation {
public:
    bool start(SimulationBlock& mainRecord);
    bool exchange();
    void stop() { mainRecord_ = nullptr; }
    const SimulationModel& model() const { return model_; }

private:
    std::unique_ptr<SimulationBlock> privateRecord_ = std::make_unique<SimulationBlock>();
    SimulationBlock* mainRecord_ = nullptr;
    TwoWayMemory memory_{};
    SimulationModel model_;
};

}  // namespace zt40
