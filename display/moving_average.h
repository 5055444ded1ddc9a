#pragma once
// A moving average over a ring of samples, computed on a worker thread of
// its own so the frame never waits for it. The frame pushes one sample per
// frame and reads the mean the worker had finished by then; a sample that
// arrives while the worker is still busy is dropped.

#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "auto_reset_event.h"

namespace zt40 {

class MovingAverage {
public:
    // Source of the ring buffer: `length` zeroed floats, or null when memory is short.
    using RingAllocator = std::function<std::unique_ptr<float[]>(int length)>;

    MovingAverage();
    explicit MovingAverage(RingAllocator allocate);
    ~MovingAverage();
    MovingAverage(const MovingAverage&) = delete;
    MovingAverage& operator=(const MovingAverage&) = delete;

    // Starts the worker over a window of `windowLength` samples.
    void start(int windowLength);
    // Hands over one sample unless the worker is busy; publishes the last mean.
    void push(float sample);
    // The mean as of the previous push.
    float publishedMean() const { return publishedMean_; }
    // True while a push would be taken.
    bool idle();

private:
    void work();

    RingAllocator allocate_;
    AutoResetEvent sampleReady_;
    AutoResetEvent workerEnded_;
    std::mutex lock_;  // guards busy_ and stopRequested_
    bool stopRequested_ = false;
    bool busy_ = true;
    float mean_ = 0.0f;
    float sample_ = 0.0f;
    float publishedMean_ = 0.0f;
    int windowLength_ = 0;
    std::thread worker_;
};

}  // namespace zt40
