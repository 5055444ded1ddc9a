#include "simulation_controller.h"

#include <chrono>
#include <new>
#include <utility>

#include "simulation_model.h"
#include "sim_speed.h"

namespace zt40 {

namespace {

SimulationBlock* allocateBlock() { return new (std::nothrow) SimulationBlock{}; }

constexpr std::chrono::milliseconds stopTimeout{1000};

}  // namespace

void SimulationController::BlockDeleter::operator()(SimulationBlock* block) const { delete block; }

SimulationController::SimulationController()
    : SimulationController(std::make_unique<SimulationModel>(), allocateBlock) {}

SimulationController::SimulationController(std::unique_ptr<ExchangeRunner> runner, BlockAllocator allocate)
    : privateRecord_(allocate()), runner_(std::move(runner)) {
    if (privateRecord_) constructSteamSpaces(*privateRecord_);
}

SimulationController::~SimulationController() {
    stop();
    joinThread();
}

bool SimulationController::start(SimulationBlock& mainRecord) {
    if (!privateRecord_) return false;
    if (running_) stop();
    // A thread that outlived stop()'s wait still works on the private copy:
    // let it finish its batch before the copy is overwritten.
    joinThread();

    mainRecord_ = &mainRecord;
    *privateRecord_ = mainRecord;
    rememberTwoWayFields(mainRecord, memory_);
    goEvent_.reset();
    stoppedEvent_.reset();
    {
        std::lock_guard guard(lock_);
        busy_ = true;
        stopRequested_ = false;
    }
    thread_ = std::thread(&SimulationController::threadMain, this);
    running_ = true;
    return true;
}

bool SimulationController::stop() {
    if (!running_) return true;
    {
        std::lock_guard guard(lock_);
        stopRequested_ = true;
    }
    goEvent_.signal();
    const bool ended = stoppedEvent_.waitFor(stopTimeout);
    if (ended) joinThread();
    // Otherwise stopRequested_ stays set, so the late thread ends after its
    // batch; start() and the destructor wait for it.
    running_ = false;
    return ended;
}

bool SimulationController::exchange() {
    {
        std::lock_guard guard(lock_);
        if (busy_ || !running_) return false;
    }
    if (SimSpeed(mainRecord_->simSpeedCode).stopped()) return false;

    exchangeFields(*mainRecord_, *privateRecord_, memory_);

    // From here until the thread has finished the batch the copy is its own,
    // including the moment before it wakes up.
    {
        std::lock_guard guard(lock_);
        busy_ = true;
    }
    goEvent_.signal();
    return true;
}

void SimulationController::threadMain() {
    runner_->start(*privateRecord_);
    {
        std::lock_guard guard(lock_);
        busy_ = false;
    }
    for (;;) {
        goEvent_.wait();
        bool stopping = false;
        {
            std::lock_guard guard(lock_);
            busy_ = true;
            stopping = stopRequested_;
        }
        if (!stopping) runner_->runExchange(*privateRecord_);
        {
            std::lock_guard guard(lock_);
            stopping = stopRequested_;
            busy_ = false;
        }
        if (stopping) break;
    }
    stoppedEvent_.signal();
}

void SimulationController::joinThread() {
    if (thread_.joinable()) thread_.join();
    std::lock_guard guard(lock_);
    stopRequested_ = false;
}

}  // namespace zt40
