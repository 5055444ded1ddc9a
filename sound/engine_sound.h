#pragma once
// The rules of the locomotive's sound: from the record of each main tick,
// how loud each sound is to be and where the beats of the exhaust fall,
// handed to the mixer as one scene. The beats come from the model's
// exhaust events, four a wheel turn; their strength is the steam each
// exhausts and their sharpness the cut-off. Everything is heard together:
// the engine under a blowing safety valve, the blower, the injector, the
// drain cocks, the brake shoes, the knock and the whistle.

#include <cstdint>

#include "sound_feed.h"
#include "sound_output.h"
#include "sound_scene.h"

namespace zt40 {

class EngineSound final : public SoundOutput {
public:
    explicit EngineSound(SoundFeed& feed) : feed_(feed) {}

    void startEngineLoop() override;
    void stopAll() override;
    void update(LocomotiveState& state) override;

    // The scene of the last update.
    const SoundScene& scene() const { return scene_; }

private:
    void takeBeats(const LocomotiveState& s, double factor);
    void setLevels(const LocomotiveState& s);

    SoundFeed& feed_;
    SoundScene scene_;
    std::uint32_t lastBatch_ = 0;  // the model's batch whose beats were taken
    bool batchSeen_ = false;
    // kg/s through the blast pipe and the throttle, averaged over about a
    // third of a second of simulated time.
    double meanBlastFlow_ = 0.0;
    double meanThrottleFlow_ = 0.0;
};

}  // namespace zt40
