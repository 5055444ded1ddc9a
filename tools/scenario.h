#pragma once
// Scenarios for driving the model without a window: settings of record
// fields at given simulated times, how long to run, and which fields to
// print how often. Parsed from text in memory, run as fast as the machine
// allows, written as CSV.
//
//   # comment
//   set NAME VALUE          field value at the start
//   at SECONDS NAME VALUE   field value from that simulated time on
//   run SECONDS             simulated time to run
//   print SECONDS NAME...   columns, and the interval between rows

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "locomotive_state.h"

namespace zt40 {

struct FieldAccess {
    std::string name;
    std::function<double(const SimulationBlock&)> get;
    std::function<void(SimulationBlock&, double)> set;
};

// Every field a scenario can set or print, by its record name; the steam
// spaces' fields as "boilerSteam.pressure" and the like.
const std::vector<FieldAccess>& scenarioFields();
const FieldAccess* findField(std::string_view name);

struct ScenarioSetting {
    double time;  // s of simulated time, 0 for "set"
    const FieldAccess* field;
    double value;
};

struct Scenario {
    std::vector<ScenarioSetting> settings;  // in time order, stable
    double duration = 0.0;                  // s
    double printInterval = 1.0;             // s
    std::vector<const FieldAccess*> columns;
};

struct ScenarioError {
    int line;
    std::string message;
};

// Parses a scenario; on the first bad line returns its number and what is wrong.
std::optional<Scenario> parseScenario(std::string_view text, ScenarioError& error);

// The record a scenario starts from: a standing engine in steam, 13.5 bar,
// cylinders at 15 °C, the usual machine settings.
void defaultScenarioState(SimulationBlock& block);

// Runs the scenario through the model and writes the CSV rows.
void runScenario(const Scenario& scenario, std::ostream& csv);

}  // namespace zt40
