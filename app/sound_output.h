#pragma once
// What the driving controls ask of the sound: the engine-sound loop and
// silence. Until the sound output exists, a silent stand-in keeps count.

namespace zt40 {

class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    virtual void startEngineLoop() = 0;
    // Stops every sound; the output volume is restored, or set to full.
    virtual void stopAll(bool fullVolume) = 0;
};

class SilentSound final : public SoundOutput {
public:
    void startEngineLoop() override { ++loopStarts; }
    void stopAll(bool fullVolume) override {
        ++stops;
        if (fullVolume) ++fullVolumeStops;
    }
    int loopStarts = 0;
    int stops = 0;
    int fullVolumeStops = 0;
};

}  // namespace zt40
