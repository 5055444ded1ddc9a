#include "synchronous_simulation.h"

#include "sim_speed.h"

namespace zt40 {

bool SynchronousSimulation::start(SimulationBlock& mainRecord) {
    mainRecord_ = &mainRecord;
    *privateRecord_ = mainRecord;
    rememberTwoWayFields(mainRecord, memory_);
    model_.start(*privateRecord_);
    return true;
}

bool SynchronousSimulation::exchange() {
    if (!mainRecord_ || SimSpeed(mainRecord_->simSpeedCode).stopped()) return false;
    exchangeFields(*mainRecord_, *privateRecord_, memory_);
    model_.runExchange(*privateRecord_);
    return true;
}

}  // namespace zt40
