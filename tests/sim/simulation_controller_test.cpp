#include "simulation_controller.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "simulation_model.h"
#include "sim_speed.h"

namespace zt40 {
namespace {

using namespace std::chrono_literals;
constexpr double timeTolerance = 1e-9;  // s

std::unique_ptr<SimulationBlock> mainRecord() {
    auto block = std::make_unique<SimulationBlock>();
    constructSteamSpaces(*block);
    block->stepInterval = 0.015;
    block->fineTimer = true;
    block->ambientTemp = 288;
    block->cylinderWallTemp = 300.0;
    return block;
}

// Repeats the exchange until the thread has taken it (it may still be busy
// with the previous batch), as the main tick does.
bool exchangeWhenParked(SimulationController& controller) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (std::chrono::steady_clock::now() < deadline) {
        if (controller.exchange()) return true;
        std::this_thread::sleep_for(100us);
    }
    return false;
}

TEST(SimulationController, ResultsOfABatchComeBackAtTheNextExchange) {
    auto record = mainRecord();
    SimulationController controller;
    ASSERT_TRUE(controller.start(*record));
    ASSERT_TRUE(exchangeWhenParked(controller));
    EXPECT_EQ(record->simTime, 0.0);  // the batch has only begun
    ASSERT_TRUE(exchangeWhenParked(controller));
    EXPECT_NEAR(record->simTime, 0.015, timeTolerance);

    // A two-way field changed by the main thread is taken over.
    record->simTime = 100.0;
    ASSERT_TRUE(exchangeWhenParked(controller));
    ASSERT_TRUE(exchangeWhenParked(controller));
    EXPECT_NEAR(record->simTime, 100.015, timeTolerance);
}

// Runs batches that last until the test releases them (or, should a test
// fail half-way, for at most five seconds).
class HeldRunner final : public ExchangeRunner {
public:
    void start(SimulationBlock&) override {}
    void runExchange(SimulationBlock& block) override {
        ++started;
        std::unique_lock guard(mutex_);
        if (released_.wait_for(guard, 5s, [this] { return releases_ > 0; })) --releases_;
        block.simTime += 1.0;
        ++batches;
        if (finished) ++*finished;
    }
    // Notifies under the lock: once it is let go, the runner may be gone.
    void release() {
        std::lock_guard guard(mutex_);
        ++releases_;
        released_.notify_one();
    }
    std::atomic<int> started{0};
    std::atomic<int> batches{0};
    std::atomic<int>* finished = nullptr;  // counts batches beyond the runner's life

private:
    std::mutex mutex_;
    std::condition_variable released_;
    int releases_ = 0;
};

SimulationBlock* allocateForTest() { return new SimulationBlock{}; }

void waitFor(const std::atomic<int>& counter, int count) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (counter < count && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(50us);
}

TEST(SimulationController, NoSecondExchangeWhileABatchIsUnderWay) {
    auto record = mainRecord();
    auto held = std::make_unique<HeldRunner>();
    HeldRunner& runner = *held;
    SimulationController controller(std::move(held), allocateForTest);
    ASSERT_TRUE(controller.start(*record));
    for (int batch = 1; batch <= 200; ++batch) {
        ASSERT_TRUE(exchangeWhenParked(controller));
        // However fast the main thread comes back, even before the thread
        // has woken up, the batch owns the private copy.
        ASSERT_FALSE(controller.exchange()) << "batch " << batch;
        runner.release();
        waitFor(runner.batches, batch);
    }
    runner.release();  // for the batch the stop may still start
}

TEST(SimulationController, StopGivesUpAfterASecondAndARestartWaitsForTheThread) {
    auto record = mainRecord();
    auto held = std::make_unique<HeldRunner>();
    HeldRunner& runner = *held;
    SimulationController controller(std::move(held), allocateForTest);
    ASSERT_TRUE(controller.start(*record));
    ASSERT_TRUE(exchangeWhenParked(controller));  // a batch that will not end by itself
    waitFor(runner.started, 1);

    const auto before = std::chrono::steady_clock::now();
    EXPECT_FALSE(controller.stop());  // gave up on the held batch
    EXPECT_GE(std::chrono::steady_clock::now() - before, 900ms);
    EXPECT_EQ(runner.batches, 0);
    EXPECT_FALSE(controller.running());

    // The late thread finishes its batch and ends; only then does the new
    // run copy into the private record.
    std::thread releaser([&] {
        std::this_thread::sleep_for(100ms);
        runner.release();
    });
    record->simTime = 7.0;
    ASSERT_TRUE(controller.start(*record));
    releaser.join();
    EXPECT_EQ(runner.batches, 1);
    ASSERT_TRUE(exchangeWhenParked(controller));
    runner.release();
    waitFor(runner.batches, 2);
    ASSERT_TRUE(exchangeWhenParked(controller));
    EXPECT_EQ(record->simTime, 8.0);  // the new run started from the main copy
    runner.release();                 // the batch just started
}

TEST(SimulationController, StopFreezesResultsAndPilesUpInputs) {
    auto record = mainRecord();
    SimulationController controller;
    ASSERT_TRUE(controller.start(*record));
    ASSERT_TRUE(exchangeWhenParked(controller));
    ASSERT_TRUE(exchangeWhenParked(controller));
    const double frozen = record->simTime;

    record->simSpeedCode = SimSpeed::stopCode;
    for (int i = 0; i < 20; ++i) {
        EXPECT_FALSE(controller.exchange());
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(record->simTime, frozen);

    // Resume at 10:1: first the batch that was under way at real time
    // comes back, then the first fast one.
    record->simSpeedCode = 3;
    ASSERT_TRUE(exchangeWhenParked(controller));
    ASSERT_TRUE(exchangeWhenParked(controller));
    EXPECT_NEAR(record->simTime, frozen + 0.015 + 0.15, timeTolerance);
}

TEST(SimulationController, StopReturnsPromptlyDuringALongBatchAndRestarts) {
    auto record = mainRecord();
    record->simSpeedCode = 3;  // 1000 sub-steps per exchange
    SimulationController controller;
    ASSERT_TRUE(controller.start(*record));
    ASSERT_TRUE(exchangeWhenParked(controller));
    EXPECT_TRUE(controller.stop());  // the batch ended within the wait
    EXPECT_FALSE(controller.running());
    EXPECT_FALSE(controller.exchange());

    // A new start takes the main copy as it stands now.
    record->simTime = 50.0;
    ASSERT_TRUE(controller.start(*record));
    ASSERT_TRUE(exchangeWhenParked(controller));
    ASSERT_TRUE(exchangeWhenParked(controller));
    EXPECT_NEAR(record->simTime, 50.15, timeTolerance);
}

TEST(SimulationController, DestructionWaitsForTheBatchUnderWay) {
    // The stop gives up after a second, but the controller may not go
    // while its thread still works on the private copy.
    auto record = mainRecord();
    std::atomic<int> finished{0};
    std::thread releaser;
    {
        auto held = std::make_unique<HeldRunner>();
        HeldRunner& runner = *held;
        runner.finished = &finished;
        SimulationController controller(std::move(held), allocateForTest);
        ASSERT_TRUE(controller.start(*record));
        ASSERT_TRUE(exchangeWhenParked(controller));
        waitFor(runner.started, 1);
        releaser = std::thread([&runner] {
            std::this_thread::sleep_for(1200ms);
            runner.release();
        });
    }
    EXPECT_EQ(finished, 1);
    releaser.join();
}

TEST(SimulationController, WithoutMemoryItNeverStarts) {
    auto record = mainRecord();
    SimulationController controller(std::make_unique<SimulationModel>(),
                                    []() -> SimulationBlock* { return nullptr; });
    EXPECT_TRUE(controller.allocationFailed());
    EXPECT_FALSE(controller.start(*record));
    EXPECT_FALSE(controller.exchange());
    EXPECT_FALSE(controller.running());
}

}  // namespace
}  // namespace zt40
