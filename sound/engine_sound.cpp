#include "engine_sound.h"

#include <algorithm>
#include <cmath>

#include "sim_speed.h"

namespace zt40 {

namespace {

constexpr double flowAveraging = 0.3;  // s of simulated time
// A beat of this much steam is heard at full strength; its loudness grows
// with the square root of its steam, so its energy with the steam.
constexpr double fullBeatSteam = 0.3;  // kg
// Below this mean flow the blast pipe (or the throttle) carries too little
// steam for a beat to be heard; none flows, none is heard.
constexpr double audibleFlow = 0.25;  // kg/s
// Cut-offs that bark and cut-offs that only puff.
constexpr double softCutOff = 0.15;
constexpr double sharpCutOff = 0.60;
// The throttle's hiss is at full strength at 2.5 kg/s.
constexpr double fullThrottleFlow = 2.5;  // kg/s
// The blower's steam jet at full strength.
constexpr double fullBlowerFlow = 0.4;  // kg/s
// Brake blocks sing between a crawl and about 30 km/h, loudest near the stand.
constexpr double brakeSquealFrom = 0.05;   // m/s
constexpr double brakeSquealPeak = 0.5;    // m/s
constexpr double brakeSquealUntil = 8.0;   // m/s
constexpr double fullBrake = 130.0;        // % on the brake gauge
constexpr double whistlePressure = 300000.0;  // Pa over atmosphere for a full note

double unit(double x) { return std::clamp(x, 0.0, 1.0); }

}  // namespace

void EngineSound::startEngineLoop() {
    // Heard from silence; the next update gives the levels to glide up to.
    SoundScene scene;
    scene.heard = true;
    scene.restart = true;
    feed_.post(scene);
}

void EngineSound::stopAll() {
    SoundScene scene;
    scene.heard = false;
    feed_.post(scene);
}

void EngineSound::update(LocomotiveState& s) {
    scene_ = SoundScene{};
    scene_.heard = true;
    scene_.restart = s.soundRestart;
    s.soundRestart = false;
    takeBeats(s, SimSpeed(s.simSpeedCode).factor());
    setLevels(s);
    if (s.valveKnock) {
        scene_.knocks = 1;
        s.valveKnock = false;
    }
    feed_.post(scene_);
}

void EngineSound::takeBeats(const LocomotiveState& s, double factor) {
    const ExhaustBeats& batch = s.exhaustBeats;
    if (batchSeen_ && batch.batch == lastBatch_) return;  // no new batch this tick
    batchSeen_ = true;
    lastBatch_ = batch.batch;

    const double weight = batch.span / (flowAveraging + batch.span);
    meanBlastFlow_ += (s.blastPipeFlow - meanBlastFlow_) * weight;
    meanThrottleFlow_ += (s.counterPressureThrottleFlow - meanThrottleFlow_) * weight;

    // Simulated seconds become real ones at the simulation's speed.
    scene_.span = batch.span / factor;
    const int count = std::clamp(batch.count, 0, exhaustBeatCapacity);
    for (int i = 0; i < count; ++i) {
        const ExhaustBeat& event = batch.beats[i];
        // With the blast pipe shut, the exhaust leaves through the throttle
        // and swells its hiss as the throttle's own puffs do.
        const bool throttle = event.intoChest || s.blastPipeClosed;
        const double carried = unit((event.intoChest ? meanThrottleFlow_ : meanBlastFlow_) / audibleFlow);
        const double gain = carried * std::sqrt(unit(event.steam / fullBeatSteam));
        if (gain <= 0.0) continue;
        const double sharpness = unit((event.cutOff - softCutOff) / (sharpCutOff - softCutOff));
        scene_.beats[static_cast<std::size_t>(scene_.beatCount++)] = Beat{event.time / factor, gain, sharpness, throttle};
    }
}

void EngineSound::setLevels(const LocomotiveState& s) {
    const double throttleFlow = s.blastPipeClosed ? std::max(meanThrottleFlow_, meanBlastFlow_) : meanThrottleFlow_;
    scene_.level(Loop::throttle) = 0.7 * unit(throttleFlow / fullThrottleFlow);
    scene_.level(Loop::safetyValve) = s.safetyValveOpen ? 0.55 : 0.0;
    scene_.level(Loop::blower) = 0.55 * std::pow(unit(s.blowerSteamFlow / fullBlowerFlow), 0.4);
    const bool feeding = s.injectorRate > 0 && s.tankWater > 1.0;
    scene_.level(Loop::injector) = feeding ? 0.25 + 0.2 * s.injectorRate / 250.0 : 0.0;
    // The drain cocks blow what the steam chest and the cylinder hold.
    const double behindCocks = std::max({s.steamChest.pressure, s.cylinder1SpaceA.pressure, s.cylinder1SpaceB.pressure});
    scene_.level(Loop::drainCocks) = s.drainCocksOpen ? 0.5 * std::sqrt(unit(behindCocks / 1000000.0)) : 0.0;
    const double v = std::fabs(s.trainSpeed);  // m/s
    const double squeal = v < brakeSquealFrom ? 0.0 : unit(v / brakeSquealPeak) * unit(1.0 - v / brakeSquealUntil);
    scene_.level(Loop::brakeShoes) = 0.45 * unit(s.brake / fullBrake) * squeal;
    scene_.level(Loop::whistle) = s.whistleBlowing ? 0.6 * unit(s.boilerSteam.pressure / whistlePressure) : 0.0;
}

}  // namespace zt40
