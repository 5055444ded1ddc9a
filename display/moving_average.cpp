#include "moving_average.h"

#include <chrono>
#include <new>

namespace zt40 {

namespace {

std::unique_ptr<float[]> allocateRing(int length) {
    return std::unique_ptr<float[]>(new (std::nothrow) float[static_cast<std::size_t>(length)]());
}

}  // namespace

MovingAverage::MovingAverage() : MovingAverage(allocateRing) {}

MovingAverage::MovingAverage(RingAllocator allocate) : allocate_(std::move(allocate)) {}

MovingAverage::~MovingAverage() {
    {
        std::lock_guard guard(lock_);
        stopRequested_ = true;
    }
    sampleReady_.signal();
    if (worker_.joinable()) {
        workerEnded_.waitFor(std::chrono::milliseconds(1000));
        worker_.join();  // it ends with the sample it is working on
    }
}

void MovingAverage::start(int windowLength) {
    if (worker_.joinable() || windowLength <= 0) return;
    windowLength_ = windowLength;
    worker_ = std::thread(&MovingAverage::work, this);
}

void MovingAverage::push(float sample) {
    {
        std::lock_guard guard(lock_);
        if (busy_) return;  // still computing: this sample is dropped
        // Busy from the hand-over on, before the worker has woken up.
        busy_ = true;
    }
    sample_ = sample;
    publishedMean_ = mean_;
    sampleReady_.signal();
}

bool MovingAverage::idle() {
    std::lock_guard guard(lock_);
    return !busy_;
}

void MovingAverage::work() {
    std::unique_ptr<float[]> ring = allocate_(windowLength_);
    if (ring) {
        {
            std::lock_guard guard(lock_);
            busy_ = false;
        }
        for (int index = 0;; index = (index + 1) % windowLength_) {
            sampleReady_.wait();
            ring[index] = sample_;
            // Samples not yet written count as 0: the mean ramps up from 0.
            double sum = 0.0;
            for (int i = 0; i < windowLength_; ++i) sum += ring[i];
            mean_ = static_cast<float>(sum / windowLength_);
            bool stop = false;
            {
                std::lock_guard guard(lock_);
                stop = stopRequested_;
                busy_ = false;
            }
            if (stop) break;
        }
    }
    workerEnded_.signal();
}

}  // namespace zt40
