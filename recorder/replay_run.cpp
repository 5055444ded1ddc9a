#include "replay_run.h"

#include <ostream>

#include "replay.h"

namespace zt40 {

std::vector<const FieldAccess*> defaultReplayColumns() {
    std::vector<const FieldAccess*> columns;
    for (const char* name : {"simTime", "distance", "trainSpeed", "wheelSpeed", "gradient", "reverser", "pilotValve",
                             "regulator", "brake", "simSpeedCode", "boilerSteam.pressure", "steamChest.pressure",
                             "gaugeGlassLevel", "trainWeight"}) {
        columns.push_back(findField(name));
    }
    return columns;
}

ReplayResult replayRows(const std::string& path, const ReplayRunOptions& options, RowSink& rows) {
    ReplayResult result;
    const auto replay = Replay::open(path, nullptr, result.report);
    if (!replay) return result;
    result.opened = true;
    const std::vector<const FieldAccess*> columns =
        options.columns.empty() && !options.check ? defaultReplayColumns() : options.columns;
    const LocomotiveState& state = replay->engine().state();
    std::vector<double> values(columns.size());
    if (!columns.empty()) {
        std::vector<std::string> names;
        for (const FieldAccess* column : columns) names.emplace_back(column->name);
        rows.columns(names);
    }
    double nextRow = state.simTime;  // s
    if (options.observe) options.observe(state);
    for (;;) {
        const bool going = replay->step();
        if (options.observe) options.observe(state);
        // A clock set back to zero (Z) starts the rows afresh.
        if (state.simTime < nextRow - options.printInterval) nextRow = state.simTime;
        if (!columns.empty() && state.simTime >= nextRow) {
            for (std::size_t i = 0; i < columns.size(); ++i) values[i] = columns[i]->get(state);
            rows.row(values);
            nextRow += options.printInterval;
        }
        if (!going) break;
    }
    result.report = replay->report();
    const Replay::Outcome outcome = replay->outcome();
    result.alike = outcome == Replay::Outcome::finished || outcome == Replay::Outcome::cut;
    return result;
}

int runReplay(const std::string& path, const ReplayRunOptions& options, std::ostream& csv, std::ostream& messages) {
    CsvRows rows(csv);
    const ReplayResult result = replayRows(path, options, rows);
    messages << result.report << '\n';
    return result.alike ? 0 : 1;
}

}  // namespace zt40
