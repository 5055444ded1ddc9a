#include "stepped_drive.h"

#include <cmath>

#include "numeric.h"
#include "scenario_drive.h"

namespace zt40 {

namespace {

void checkSeconds(double seconds, const char* what) {
    if (!(seconds > 0.0 && seconds <= maxRunSeconds)) {
        throw std::invalid_argument(std::string(what) + " must lie between 0 and " +
                                    std::to_string(truncateTo<long>(maxRunSeconds)) + " s");
    }
}

const FieldAccess& knownField(std::string_view name) {
    const FieldAccess* field = findField(name);
    if (!field) throw std::invalid_argument(unknownFieldMessage(name));
    return *field;
}

}  // namespace

SteppedDrive::SteppedDrive(const std::optional<std::filesystem::path>& configuration, std::uint32_t seed)
    : configuration_(configuration.value_or(std::filesystem::path{})), seed_(seed), drive_(started({})) {
    target_ = drive_->state().simTime;
}

SteppedDrive::~SteppedDrive() = default;

// A drive started afresh with these start settings and the automatic
// control's settings so far.
std::unique_ptr<ScenarioDrive> SteppedDrive::started(const std::vector<ScenarioSetting>& settings) const {
    auto drive = std::make_unique<ScenarioDrive>(seed_, configuration_);
    if (!drive->loadProblem().empty()) throw ConfigurationUnreadable(drive->loadProblem());
    const RunResult result = drive->start(settings);
    if (result.failure == RunFailure::setting) throw std::invalid_argument(result.message);
    if (result.failure != RunFailure::none) throw std::runtime_error(result.message);
    for (const ControlSetting& setting : controls_) setting.control->set(drive->autoControl(), setting.value);
    return drive;
}

void SteppedDrive::set(std::string_view name, double value) {
    const std::lock_guard hold(busy_);
    if (std::string problem = settingProblem(name, value); !problem.empty()) throw std::invalid_argument(problem);
    if (const ControlAccess* control = findControl(name)) {
        control->set(drive_->autoControl(), value);
        if (!running_) controls_.push_back({0.0, control, value});
        return;
    }
    const FieldAccess& field = knownField(name);
    if (running_) {
        field.set(drive_->state(), value);
        if (field.name == "simTime") target_ = value;  // the clock set back: runs count from there
        return;
    }
    // Before the first run: the drive starts again from the file with this
    // setting too, or refuses it and stays as it was.
    auto settings = startSettings_;
    settings.push_back({0.0, &field, value});
    drive_ = started(settings);
    startSettings_ = std::move(settings);
    target_ = drive_->state().simTime;
}

double SteppedDrive::get(std::string_view name) {
    const std::lock_guard hold(busy_);
    if (const ControlAccess* control = findControl(name)) return control->get(drive_->autoControl());
    return knownField(name).get(drive_->state());
}

double SteppedDrive::advance(double seconds, const std::function<void(LocomotiveState&)>& beforeTick) {
    running_ = true;
    const double from = target_;
    target_ += seconds;
    if (std::string stalled = drive_->runUntil(target_, beforeTick); !stalled.empty()) {
        throw std::runtime_error(stalled);
    }
    return from;
}

void SteppedDrive::run(double seconds) {
    const std::lock_guard hold(busy_);
    checkSeconds(seconds, "seconds");
    advance(seconds, {});
}

Table SteppedDrive::sample(const std::vector<std::string>& names, double every, double seconds) {
    const std::lock_guard hold(busy_);
    std::vector<const FieldAccess*> fields;
    Table table;
    for (const std::string& name : names) {
        fields.push_back(&knownField(name));
        table.names.push_back(name);
    }
    fields.push_back(&knownField("simTime"));
    table.names.push_back("simTime");
    if (!(every > 0.0 && std::isfinite(every))) throw std::invalid_argument("every must be more than 0 s");
    checkSeconds(seconds, "seconds");
    table.columns.resize(fields.size());
    const auto keep = [&](const LocomotiveState& state) {
        for (std::size_t i = 0; i < fields.size(); ++i) table.columns[i].push_back(fields[i]->get(state));
    };
    double nextRow = target_;  // s
    advance(seconds, [&](LocomotiveState& state) {
        if (state.simTime >= nextRow) {
            keep(state);
            nextRow += every;
        }
    });
    keep(drive_->state());
    return table;
}

std::vector<std::pair<std::string, double>> SteppedDrive::state() {
    const std::lock_guard hold(busy_);
    std::vector<std::pair<std::string, double>> values;
    for (const FieldAccess& field : scenarioFields()) values.emplace_back(field.name, field.get(drive_->state()));
    for (const ControlAccess& control : controlFields()) {
        values.emplace_back(control.name, control.get(drive_->autoControl()));
    }
    return values;
}

std::optional<std::string> SteppedDrive::workshop() {
    const std::lock_guard hold(busy_);
    if (drive_->workshop() == Damage::none) return std::nullopt;
    return std::string(workshopText(drive_->workshop()));
}

}  // namespace zt40
