#pragma once
// Scenarios for driving the model without a window: settings of record
// fields at given simulated times, how long to run, and which fields to
// print how often. Parsed from text in memory, run as fast as the machine
// allows, written as CSV.
//
//   # comment
//   set NAME VALUE          field value at the start, as if loaded from the
//                           configuration file: the model starts from it
//   at SECONDS NAME VALUE   field value from that simulated time on
//   run SECONDS             simulated time to run (at most maxRunSeconds)
//   print SECONDS NAME...   columns, and the interval between rows
//   seed NUMBER             random seed of the run (default 1)
//   key SECONDS KEY [HOLD]  press KEY at that second of the clock and hold
//                           it HOLD seconds (default a tap of 0.1 s); a
//                           held key repeats as in the window
//
// Settings that would stop simulated time (STOP, a clock beyond its range)
// are refused.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "auto_control.h"
#include "damage.h"
#include "locomotive_state.h"
#include "render_controller.h"

namespace zt40 {

struct FieldAccess {
    std::string name;
    std::function<double(const LocomotiveState&)> get;
    std::function<void(LocomotiveState&, double)> set;
};

// Every field a scenario can set or print, by its record name: the model's
// fields, the steam spaces' as "boilerSteam.pressure" and the like, and the
// driver's switches of the header.
const std::vector<FieldAccess>& scenarioFields();
const FieldAccess* findField(std::string_view name);

// The automatic driving control's settings, as "autoControl.targetSpeed"
// and the like: what the dialog "Autosteuer" sets, taken at once.
struct ControlAccess {
    std::string name;
    std::function<double(const AutoControlSettings&)> get;
    std::function<void(AutoControlSettings&, double)> set;
};
const std::vector<ControlAccess>& controlFields();
const ControlAccess* findControl(std::string_view name);

// What is wrong with setting the field or control `name` to `value`, as a
// scenario's line reports it (an unknown name, a value that is no finite
// number, one that would leave simulated time standing), or empty. The
// ranges a configuration file holds are checked when the drive starts.
std::string settingProblem(std::string_view name, double value);
// The message for a name that is neither a field nor a control.
std::string unknownFieldMessage(std::string_view name);

inline constexpr double maxRunSeconds = 1e6;  // s, about eleven days
inline constexpr std::size_t maxScenarioBytes = 1 << 20;  // a scenario is a page of text, not a stream
inline constexpr std::size_t maxLineLength = 1000;        // characters of one line

struct ScenarioSetting {
    double time;  // s of simulated time, 0 for "set"
    const FieldAccess* field;
    double value;
};

struct ControlSetting {
    double time;  // s of simulated time, 0 for "set"
    const ControlAccess* control;
    double value;
};

// A key pressed by the driver's hand, on the clock the hand keeps: at 1:1
// the simulated time goes with it, but not at other speeds, and a key that
// wakes the standing engine adds a whole simulated second as in the program.
struct KeyPress {
    double time;  // s of the clock since the start
    int virtualKey;
    double hold;  // s
};

inline constexpr double keyTap = 0.1;  // s, a key pressed and let go

struct Scenario {
    std::vector<ScenarioSetting> settings;  // in time order, stable
    std::vector<ControlSetting> controls;   // in time order, stable
    std::vector<KeyPress> keys;
    double duration = 0.0;                  // s
    double printInterval = 1.0;             // s
    std::vector<const FieldAccess*> columns;
    std::uint32_t seed = 1;
};

struct ScenarioError {
    int line;
    std::string message;
};

// Parses a scenario; on the first bad line returns its number and what is wrong.
std::optional<Scenario> parseScenario(std::string_view text, ScenarioError& error);

// Reads a scenario file's text, at most `maxScenarioBytes` of it; the
// reason it cannot, or empty.
std::string readScenarioFile(const std::filesystem::path& path, std::string& text);

// The window a run is drawn in, when a picture of it is wanted: the
// program's frames, each counted once it is finished.
class ScenarioScreen : public FrameTarget {
public:
    virtual int framesShown() const = 0;
    // Client size of the window the run is shown in, px.
    virtual int clientWidth() const = 0;
    virtual int clientHeight() const = 0;
};

// Client size of the window a run is shown in unless its screen says
// otherwise, px: the size the README's screenshot has.
inline constexpr int scenarioWindowWidth = 1600;
inline constexpr int scenarioWindowHeight = 1170;

// Where a run's rows go: the runner's CSV, or the columns of a table.
class RowSink {
public:
    virtual ~RowSink() = default;
    virtual void columns(const std::vector<std::string>& names) = 0;
    virtual void row(const std::vector<double>& values) = 0;
};

// The runner's rows: CSV, each row flushed as it is written, so that a run
// broken off keeps its rows.
class CsvRows final : public RowSink {
public:
    explicit CsvRows(std::ostream& csv) : csv_(csv) {}
    void columns(const std::vector<std::string>& names) override;
    void row(const std::vector<double>& values) override;

private:
    std::ostream& csv_;
};

// Why a run could not go on, by what the user must mend.
enum class RunFailure {
    none,
    configuration,  // the configuration file cannot be read
    setting,        // a start setting a configuration file could not hold, or one the model's start recomputes
    run,            // the drive could not start or went no further (simulated time standing still)
};

struct RunResult {
    RunFailure failure = RunFailure::none;
    std::string message;              // empty without a failure
    Damage workshop = Damage::none;   // the driving error that ended the run in the workshop
};

// Runs the scenario as `runScenario` does and hands its rows to `rows`.
RunResult runScenarioRows(const Scenario& scenario, RowSink& rows, ScenarioScreen* screen = nullptr,
                          const std::filesystem::path& configuration = {},
                          const std::function<void(const LocomotiveState&)>& observe = nullptr);

// Runs the scenario through the program's window logic on a virtual clock
// (main tick, operating aids, track walk) and writes the CSV rows, each
// flushed as it is written. The run starts as the program does without a
// configuration file, with a fixed random seed; the "set" lines take the
// place of the file's values and are held to the same ranges. With a
// `configuration` file it starts from that file as the program does after
// "Ja" (the file is only read), and the "set" lines change it further.
// Returns why the run could not go on (a value a configuration file could
// not hold, a field the model's start recomputes, an unreadable file,
// simulated time standing still), or an empty text. With a screen, the
// display is drawn on its render thread as in the program, and the
// screen's last frame shows the end of the run.
// `observe`, when given, sees the record after every step of the run.
std::string runScenario(const Scenario& scenario, std::ostream& csv, ScenarioScreen* screen = nullptr,
                        const std::filesystem::path& configuration = {},
                        const std::function<void(const LocomotiveState&)>& observe = nullptr);

}  // namespace zt40
