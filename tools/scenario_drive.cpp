#include "scenario_drive.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

#include "cab_driving.h"
#include "configuration.h"
#include "configuration_file.h"
#include "engine.h"
#include "inline_simulation.h"
#include "numeric.h"
#include "parked_render.h"
#include "simulation_model.h"
#include "sound_output.h"
#include "virtual_clock.h"

namespace zt40 {

namespace {

// The fields of the run's state that a configuration file holds and its
// start checks; any of them out of range marks a file as implausible.
bool isRunStateField(const std::string& name) {
    for (const char* field : {"wheelAngle", "tankWater", "boilerSteam.pressure", "distance", "simTime",
                              "boilerSteam.waterMass", "stepInterval"}) {
        if (name == field) return true;
    }
    return false;
}

// The start settings a configuration file could not hold, by the file's
// own validation: the machine's ranges, and the run's state as the start
// checks it. Empty when all are fine; then the machine's values the
// settings have moved out of step (a cylinder colder than a new ambient
// temperature) are put right as the file's would be.
std::string refusedByTheFile(const std::vector<ScenarioSetting>& settings, LocomotiveState& state) {
    Random15 random(1);  // draws only for values the settings cannot have left implausible
    auto machine = std::make_unique<LocomotiveState>(state);
    validateConfiguration(*machine, false, random);
    auto run = std::make_unique<LocomotiveState>(state);
    run->stateDefaulted = false;
    validateConfiguration(*run, true, random);
    std::string refused;
    for (const ScenarioSetting& setting : settings) {
        const FieldAccess& field = *setting.field;
        const bool changed = field.get(*machine) != field.get(state) ||
                             (isRunStateField(field.name) && field.get(*run) != field.get(state));
        if (!changed) continue;
        char value[64];
        std::snprintf(value, sizeof value, "%.9g", setting.value);
        refused += (refused.empty() ? "" : ", ") + field.name + " " + value;
    }
    if (!refused.empty()) return "a configuration file cannot hold " + refused + "; such a value cannot be set";
    validateConfiguration(state, false, random);
    return {};
}

// The start settings, applied where the program applies a loaded file.
// Returns the values a configuration file could not hold, or the names of
// those the model's start computes afresh, which a setting cannot reach.
std::string applyStartSettings(const std::vector<ScenarioSetting>& settings, LocomotiveState& state) {
    for (const ScenarioSetting& setting : settings) setting.field->set(state, setting.value);
    if (std::string refused = refusedByTheFile(settings, state); !refused.empty()) return refused;
    // What the start does to the record, tried on a copy.
    auto trial = std::make_unique<LocomotiveState>(state);
    std::make_unique<SimulationModel>()->start(*trial);
    std::string recomputed;
    for (const ScenarioSetting& setting : settings) {
        const double wanted = setting.field->get(state);
        const double started = setting.field->get(*trial);
        if (std::fabs(started - wanted) > 1e-9 * std::max(1.0, std::fabs(wanted))) {
            recomputed += (recomputed.empty() ? "" : ", ") + setting.field->name;
        }
    }
    if (recomputed.empty()) return {};
    return "the model's start computes " + recomputed + " afresh; such a field cannot be set";
}

}  // namespace

ScenarioDrive::ScenarioDrive(std::uint32_t seed, const std::filesystem::path& configuration, ScenarioScreen* screen)
    : clock_(std::make_unique<VirtualClock>()), sound_(std::make_unique<SilentSound>()), screen_(screen) {
    engine_ = std::make_unique<Engine>(*clock_,
                                       EngineParts{std::make_unique<InlineSimulation>(),
                                                   screen ? std::make_unique<ParkedRender>(*screen) : nullptr,
                                                   std::make_unique<CabDriving>(*sound_)},
                                       seed);
    // The configuration file is only read, or there is none; a file's
    // drive is taken up as after "Ja". A file that is missing is named, not
    // taken for a first start.
    std::error_code status;
    if (!configuration.empty() && !std::filesystem::exists(configuration, status)) {
        loadProblem_ = configuration.string() + " is no configuration file";
        return;
    }
    engine_->load([&](LocomotiveState& s, Random15& random, TrackAllocator& allocator) {
        if (auto reason = loadConfiguration(configuration, s, random, allocator)) {
            loadProblem_ =
                "Die Konfigurationsdatei \"" + configuration.string() + "\" kann nicht gelesen werden:\n" + *reason;
        }
    });
    if (loadProblem_.empty() && !engine_->state().stateDefaulted) applyResumedStart(engine_->state());
}

ScenarioDrive::~ScenarioDrive() {
    if (engine_->started()) engine_->stop();
}

RunResult ScenarioDrive::start(const std::vector<ScenarioSetting>& settings) {
    std::string refused;
    const bool started =
        engine_->start([&](LocomotiveState& state) { refused = applyStartSettings(settings, state); });
    if (!refused.empty()) return {RunFailure::setting, refused};
    if (!started) return {RunFailure::run, "the drive could not start (memory)"};
    if (screen_) engine_->onSize(screen_->clientWidth(), screen_->clientHeight());
    else engine_->onSize(scenarioWindowWidth, scenarioWindowHeight);
    lastSimTime_ = engine_->state().simTime;
    movedAt_ = clock_->now;
    return {};
}

void ScenarioDrive::press(const KeyPress& key) {
    clock_->keys.press(key.virtualKey, truncateTo<std::int64_t>(key.time * 1000.0),
                       truncateTo<std::int64_t>(key.hold * 1000.0));
}

std::string ScenarioDrive::runUntil(double until, const std::function<void(LocomotiveState&)>& beforeTick,
                                    const std::function<void(const LocomotiveState&)>& afterTick) {
    constexpr std::int64_t standstillLimit = 60000;  // ms of the virtual clock
    LocomotiveState& state = engine_->state();
    while (!stalled_ && !clockStopped_ && state.simTime < until && !engine_->damaged()) {
        if (beforeTick) beforeTick(state);
        if (!clock_->runNext(*engine_)) {
            clockStopped_ = true;  // stopped for good
            break;
        }
        if (afterTick) afterTick(state);
        if (state.simTime != lastSimTime_) {
            lastSimTime_ = state.simTime;
            movedAt_ = clock_->now;
        } else if (clock_->now - movedAt_ > standstillLimit) {
            stalled_ = true;
            char at[64];
            std::snprintf(at, sizeof at, "%.9g", state.simTime);
            return std::string("simulated time has stood at ") + at + " s for a minute; the run stops";
        }
    }
    return {};
}

// Ticks on until the render thread has finished a frame of the record as
// it stands now (the one it may be drawing shows an older one).
void ScenarioDrive::awaitFrameOfTheEnd() {
    if (!screen_) return;
    const int shown = screen_->framesShown();
    for (int tick = 0; tick < 10000 && screen_->framesShown() < shown + 2 && !engine_->damaged(); ++tick) {
        if (!clock_->runNext(*engine_)) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));  // the frame takes real time
    }
}

LocomotiveState& ScenarioDrive::state() { return engine_->state(); }

AutoControlSettings& ScenarioDrive::autoControl() { return engine_->autoControl(); }

bool ScenarioDrive::ended() const { return clockStopped_ || stalled_ || engine_->damaged(); }

Damage ScenarioDrive::workshop() const { return clock_->workshopDamage; }

}  // namespace zt40
