#include "replay_player.h"

#include <algorithm>

namespace zt40 {

void ReplayPlayer::advance(std::int64_t elapsedMs, const std::function<bool()>& timeLeft) {
    if (speed_.stopped()) return;  // STOP: the drive stands where it is
    due_ += static_cast<double>(elapsedMs) * speed_.factor();
    while (!over()) {
        const double next = static_cast<double>(replay_.recordedMs() + replay_.nextStepMs());
        if (next > due_) break;
        if (!timeLeft()) {
            due_ = std::min(due_, static_cast<double>(replay_.recordedMs()) + greatestLag);
            break;
        }
        replay_.step();
    }
}

}  // namespace zt40
