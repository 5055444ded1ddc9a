#pragma once
// A recording replayed without a window, as fast as the machine allows:
// CSV rows as the runner prints them, and with `check` the verdict whether
// the replay came out as the recorded drive did.

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "scenario.h"

namespace zt40 {

struct ReplayRunOptions {
    bool check = false;         // only the verdict: no rows unless columns are asked for
    double printInterval = 1.0;  // s of simulated time between rows
    std::vector<const FieldAccess*> columns;  // none: the default columns
    // Sees the record after every step of the replay.
    std::function<void(const LocomotiveState&)> observe;
};

// The columns a replay prints unless told otherwise.
std::vector<const FieldAccess*> defaultReplayColumns();

// How a replay ended: `opened` false when the recording could not be
// read or belongs to another model; `report` says why, or the verdict
// (German).
struct ReplayResult {
    bool opened = false;
    bool alike = false;  // the drive came out as recorded, or as far as a recording cut short holds it
    std::string report;
};

// Replays `path`, handing its rows to `rows`.
ReplayResult replayRows(const std::string& path, const ReplayRunOptions& options, RowSink& rows);

// Replays `path`, writing rows to `csv` and the verdict to `messages`.
// Returns the exit status: 0 when the drive came out as recorded, 1 when
// the recording could not be replayed or the replay departed from it.
int runReplay(const std::string& path, const ReplayRunOptions& options, std::ostream& csv, std::ostream& messages);

}  // namespace zt40
