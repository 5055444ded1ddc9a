#pragma once
// What the simulation thread runs: a preparation at thread start, then one
// batch of sub-steps per exchange. The model is one such runner; tests hold
// the thread's batches with another.

#include "locomotive_state.h"

namespace zt40 {

class ExchangeRunner {
public:
    virtual ~ExchangeRunner() = default;
    virtual void start(SimulationBlock& block) = 0;
    virtual void runExchange(SimulationBlock& block) = 0;
};

}  // namespace zt40
