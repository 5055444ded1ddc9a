#pragma once
// A drive for study, stepped from Python: the runner's drive, whose fields
// are set and read by the runner's names. Settings made before the first
// run take the place of the configuration file's values (checked against
// its ranges at once); later ones act from the simulated time reached, as
// a scenario's "at" lines do. Every call holds the drive for itself, so a
// drive shared between threads is only ever stepped by one at a time.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "scenario.h"
#include "table_rows.h"

namespace zt40 {

class ScenarioDrive;

// The configuration file named for a drive cannot be read.
class ConfigurationUnreadable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Bad names and values throw std::invalid_argument with the runner's
// messages; a drive that can go no further throws std::runtime_error.
class SteppedDrive {
public:
    SteppedDrive(const std::optional<std::filesystem::path>& configuration, std::uint32_t seed);
    ~SteppedDrive();

    void set(std::string_view name, double value);
    double get(std::string_view name);
    // Runs `seconds` of simulated time on from where the last run was to end.
    void run(double seconds);
    // Runs as `run` does and keeps the named fields and simTime as the
    // runner prints them: a row every `every` s and the state at the end.
    Table sample(const std::vector<std::string>& names, double every, double seconds);
    // Every field and every setting of the automatic control, by name.
    std::vector<std::pair<std::string, double>> state();
    // Why the drive ended in the workshop (German, as the program says it), or none.
    std::optional<std::string> workshop();

private:
    std::unique_ptr<ScenarioDrive> started(const std::vector<ScenarioSetting>& settings) const;
    double advance(double seconds, const std::function<void(LocomotiveState&)>& beforeTick);

    std::mutex busy_;
    std::filesystem::path configuration_;
    std::uint32_t seed_;
    std::vector<ScenarioSetting> startSettings_;
    std::vector<ControlSetting> controls_;  // the automatic control's, kept for a new start
    std::unique_ptr<ScenarioDrive> drive_;
    bool running_ = false;  // ticks have run: settings act from the time reached
    double target_ = 0.0;   // s of simulated time where the runs asked so far end
};

}  // namespace zt40
