#pragma once
// One drive as the runner starts it, held between steps: the program's
// engine on a virtual clock with the model inline, started from the
// defaults of a first start or from a configuration file (only read), its
// start settings held to the ranges the file may hold. The runner runs a
// whole scenario on it; the Python module steps it from a notebook.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "auto_control.h"
#include "damage.h"
#include "locomotive_state.h"
#include "scenario.h"

namespace zt40 {

class Engine;
class SilentSound;
class VirtualClock;

class ScenarioDrive {
public:
    // Loads the drive; `loadProblem` says why the configuration could not be read.
    ScenarioDrive(std::uint32_t seed, const std::filesystem::path& configuration = {},
                  ScenarioScreen* screen = nullptr);
    ~ScenarioDrive();
    ScenarioDrive(const ScenarioDrive&) = delete;
    ScenarioDrive& operator=(const ScenarioDrive&) = delete;

    const std::string& loadProblem() const { return loadProblem_; }

    // Starts the model with the start settings applied where the program
    // applies a loaded file. Returns the values a configuration file could
    // not hold or the fields the model's start computes afresh (`setting`),
    // or a start that failed for memory (`run`).
    RunResult start(const std::vector<ScenarioSetting>& settings);

    // The driver's hand presses a key, typed on the window's clock.
    void press(const KeyPress& key);

    // Ticks until simulated time reaches `until` s, the drive ends in the
    // workshop or the clock stops for good, calling `beforeTick` with the
    // record before every tick. Returns why the drive can go no further
    // (simulated time stood still for a minute of the clock), or empty.
    // `afterTick` sees the record after every tick.
    std::string runUntil(double until, const std::function<void(LocomotiveState&)>& beforeTick = {},
                         const std::function<void(const LocomotiveState&)>& afterTick = {});

    // For a drawn run: ticks on until the screen shows the end.
    void awaitFrameOfTheEnd();

    LocomotiveState& state();
    AutoControlSettings& autoControl();
    bool ended() const;  // in the workshop, or the clock stopped
    Damage workshop() const;

private:
    std::unique_ptr<VirtualClock> clock_;
    std::unique_ptr<SilentSound> sound_;
    std::unique_ptr<Engine> engine_;
    ScenarioScreen* screen_;
    std::string loadProblem_;
    bool clockStopped_ = false;
    bool stalled_ = false;  // simulated time stood still: the drive goes no further
    // Simulated time must move; a minute of the clock without is a hang.
    double lastSimTime_ = 0.0;   // s
    std::int64_t movedAt_ = 0;   // ms of the virtual clock
};

}  // namespace zt40
