#pragma once
// The hand-over of the sound scenes from the main tick to the audio
// thread: the main thread posts each tick's scene, the audio thread takes
// all that have come before it renders its next samples. Only the copying
// in and out is locked, never the mixing.

#include <array>
#include <cstddef>
#include <mutex>

#include "sound_scene.h"

namespace zt40 {

class SoundFeed {
public:
    // Scenes held while the audio thread does not come; beyond them the
    // oldest are dropped (the newest levels always arrive).
    static constexpr std::size_t capacity = 16;
    using Scenes = std::array<SoundScene, capacity>;

    void post(const SoundScene& scene);
    // Copies the scenes posted since the last call into `into`, oldest
    // first; returns how many.
    std::size_t take(Scenes& into);

private:
    std::mutex lock_;
    Scenes ring_{};
    std::size_t first_ = 0;  // oldest held
    std::size_t count_ = 0;
};

}  // namespace zt40
