#include "moving_average.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace zt40 {
namespace {

using namespace std::chrono_literals;

// Waits until the worker has finished with the previous sample.
void waitUntilIdle(MovingAverage& average) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!average.idle() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(100us);
}

TEST(MovingAverage, RampsUpFromZeroAndReachesTheMeanAfterItsWindow) {
    MovingAverage average;
    average.start(4);
    waitUntilIdle(average);  // the worker takes up its ring
    // Each push publishes the mean of the samples before it.
    average.push(8.0f);
    EXPECT_EQ(average.publishedMean(), 0.0f);
    const float expected[] = {2.0f, 4.0f, 6.0f, 8.0f, 8.0f};
    for (float mean : expected) {
        waitUntilIdle(average);
        average.push(8.0f);
        EXPECT_FLOAT_EQ(average.publishedMean(), mean);
    }
}

TEST(MovingAverage, ABusyWorkerDropsTheSample) {
    // A long window keeps the worker busy for milliseconds per sample.
    constexpr int window = 4000000;
    MovingAverage average;
    average.start(window);
    waitUntilIdle(average);
    average.push(10.0f);
    average.push(1000.0f);  // at once: the worker has not even woken up
    waitUntilIdle(average);
    average.push(0.0f);
    EXPECT_FLOAT_EQ(average.publishedMean(), 10.0f / window);  // only the 10 was taken
}

TEST(MovingAverage, WithoutItsRingItPublishesZeroForever) {
    // Once the worker has asked for its ring and got none, no sample is ever taken.
    std::atomic<bool> asked = false;
    MovingAverage average([&](int) {
        asked = true;
        return std::unique_ptr<float[]>();
    });
    average.start(80);
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!asked && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    ASSERT_TRUE(asked);
    for (int i = 0; i < 10; ++i) {
        average.push(3.0f);
        EXPECT_FALSE(average.idle());
    }
    EXPECT_EQ(average.publishedMean(), 0.0f);
}

}  // namespace
}  // namespace zt40
