#include "replay_run.h"

#include <cstdio>
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

int runReplay(const std::string& path, const ReplayRunOptions& options, std::ostream& csv, std::ostream& messages) {
    std::string error;
    const auto replay = Replay::open(path, nullptr, error);
    if (!replay) {
        messages << error << '\n';
        return 1;
    }
    const std::vector<const FieldAccess*> columns =
        options.columns.empty() && !options.check ? defaultReplayColumns() : options.columns;
    const LocomotiveState& state = replay->engine().state();
    const auto row = [&] {
        char number[64];
        for (std::size_t i = 0; i < columns.size(); ++i) {
            std::snprintf(number, sizeof number, "%.9g", columns[i]->get(state));
            csv << (i ? "," : "") << number;
        }
        csv << '\n';
    };
    if (!columns.empty()) {
        for (std::size_t i = 0; i < columns.size(); ++i) csv << (i ? "," : "") << columns[i]->name;
        csv << '\n';
    }
    double nextRow = state.simTime;  // s
    if (options.observe) options.observe(state);
    for (;;) {
        const bool going = replay->step();
        if (options.observe) options.observe(state);
        // A clock set back to zero (Z) starts the rows afresh.
        if (state.simTime < nextRow - options.printInterval) nextRow = state.simTime;
        if (!columns.empty() && state.simTime >= nextRow) {
            row();
            nextRow += options.printInterval;
        }
        if (!going) break;
    }
    csv.flush();
    messages << replay->report() << '\n';
    const Replay::Outcome outcome = replay->outcome();
    return outcome == Replay::Outcome::finished || outcome == Replay::Outcome::cut ? 0 : 1;
}

}  // namespace zt40
