#include "auto_reset_event.h"

namespace zt40 {

void AutoResetEvent::signal() {
    {
        std::lock_guard guard(mutex_);
        signalled_ = true;
    }
    condition_.notify_one();
}

void AutoResetEvent::wait() {
    std::unique_lock guard(mutex_);
    condition_.wait(guard, [this] { return signalled_; });
    signalled_ = false;
}

bool AutoResetEvent::waitFor(std::chrono::milliseconds timeout) {
    std::unique_lock guard(mutex_);
    if (!condition_.wait_for(guard, timeout, [this] { return signalled_; })) return false;
    signalled_ = false;
    return true;
}

void AutoResetEvent::reset() {
    std::lock_guard guard(mutex_);
    signalled_ = false;
}

}  // namespace zt40
