#include "sound_feed.h"

namespace zt40 {

void SoundFeed::post(const SoundScene& scene) {
    std::lock_guard guard(lock_);
    if (count_ == capacity) {
        first_ = (first_ + 1) % capacity;
        --count_;
    }
    ring_[(first_ + count_) % capacity] = scene;
    ++count_;
}

std::size_t SoundFeed::take(Scenes& into) {
    std::lock_guard guard(lock_);
    const std::size_t n = count_;
    for (std::size_t i = 0; i < n; ++i) into[i] = ring_[(first_ + i) % capacity];
    first_ = (first_ + n) % capacity;
    count_ = 0;
    return n;
}

}  // namespace zt40
