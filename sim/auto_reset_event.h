#pragma once
// An event that releases one waiting thread per signal and then clears
// itself; a signal given while nobody waits is kept for the next wait.

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace zt40 {

class AutoResetEvent {
public:
    void signal();
    void wait();
    // False when the time ran out without a signal.
    bool waitFor(std::chrono::milliseconds timeout);
    // Forgets a signal nobody has taken yet.
    void reset();

private:
    std::mutex mutex_;
    std::condition_variable condition_;
    bool signalled_ = false;
};

}  // namespace zt40
