#pragma once
// Owns the simulation thread and its private copy of the simulation block.
// The main thread swaps inputs and results with that copy in exchange(),
// only while the thread is parked, and then wakes it for one batch of
// sub-steps. The lock guards only `busy` and `stopRequested`; the copying
// itself needs none because the thread waits while it happens.

#include <memory>
#include <mutex>
#include <thread>

#include "auto_reset_event.h"
#include "exchange_runner.h"
#include "locomotive_state.h"
#include "state_flow.h"

namespace zt40 {

class SimulationController {
public:
    // Source of the private copy; returns null when memory is short.
    using BlockAllocator = SimulationBlock* (*)();

    SimulationController();
    // `runner` does the thread's work (the model, unless a test holds its
    // batches); `allocate` provides the private copy.
    SimulationController(std::unique_ptr<ExchangeRunner> runner, BlockAllocator allocate);
    ~SimulationController();
    SimulationController(const SimulationController&) = delete;
    SimulationController& operator=(const SimulationController&) = delete;

    // Copies the main copy's simulation block and starts the thread on it.
    // False when the private copy could not be allocated.
    bool start(SimulationBlock& mainRecord);
    // Asks the thread to end and waits for it at most one second; false
    // when it gave up and left the thread to end after its batch.
    bool stop();
    // One exchange; false when it was skipped (thread busy or not running,
    // or the simulation stands at STOP).
    bool exchange();

    bool allocationFailed() const { return !privateRecord_; }
    bool running() const { return running_; }

private:
    struct BlockDeleter {
        void operator()(SimulationBlock* block) const;
    };

    void threadMain();
    void joinThread();

    std::unique_ptr<SimulationBlock, BlockDeleter> privateRecord_;
    SimulationBlock* mainRecord_ = nullptr;
    AutoResetEvent goEvent_;
    AutoResetEvent stoppedEvent_;
    std::mutex lock_;  // guards busy_ and stopRequested_
    bool stopRequested_ = false;
    bool busy_ = true;
    bool running_ = false;
    TwoWayMemory memory_{};
    std::unique_ptr<ExchangeRunner> runner_;
    std::thread thread_;
};

}  // namespace zt40
