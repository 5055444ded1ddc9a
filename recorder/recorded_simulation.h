#pragma once
// The model's port as the recorder sees it: an exchange the model was too
// busy to take is noted, since the replay must skip the same ones.

#include <memory>

#include "drive_recorder.h"
#include "locomotive_state.h"
#include "sim_speed.h"
#include "simulation_port.h"

namespace zt40 {

class RecordedSimulation final : public SimulationPort {
public:
    RecordedSimulation(std::unique_ptr<SimulationPort> simulation, DriveRecorder& recorder)
        : simulation_(std::move(simulation)), recorder_(recorder) {}
    bool start(SimulationBlock& mainRecord) override {
        mainRecord_ = &mainRecord;
        return simulation_->start(mainRecord);
    }
    bool exchange() override {
        const bool taken = simulation_->exchange();
        // At STOP no exchange is taken, busy or not; the replay knows that.
        if (!taken && !SimSpeed(mainRecord_->simSpeedCode).stopped()) recorder_.busy();
        return taken;
    }
    void stop() override { simulation_->stop(); }

private:
    std::unique_ptr<SimulationPort> simulation_;
    DriveRecorder& recorder_;
    const SimulationBlock* mainRecord_ = nullptr;
};

}  // namespace zt40
