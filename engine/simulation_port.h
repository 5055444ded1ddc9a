#pragma once
// How the main window reaches the model: start it on the main record, hand
// over once per tick, stop it.

namespace zt40 {

struct SimulationBlock;

class SimulationPort {
public:
    virtual ~SimulationPort() = default;
    virtual bool start(SimulationBlock& mainRecord) = 0;
    virtual bool exchange() = 0;
    virtual void stop() = 0;
};

}  // namespace zt40
