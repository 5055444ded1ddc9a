// The Python module `zt40`: the engine for study, plots and parameter
// sweeps, with exactly the runner's results. A drive runs with the
// interpreter's lock released, so threads can run drives side by side.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "numeric.h"
#include "replay_run.h"
#include "stepped_drive.h"
#include "table_rows.h"

namespace py = pybind11;

namespace zt40 {
namespace {

py::array_t<double> arrayOf(const std::vector<double>& values) {
    return py::array_t<double>(static_cast<py::ssize_t>(values.size()), values.data());
}

py::dict dictOf(const Table& table) {
    py::dict columns;
    for (std::size_t i = 0; i < table.names.size(); ++i) columns[py::str(table.names[i])] = arrayOf(table.columns[i]);
    return columns;
}

// A run's outcome as Python sees it: its rows as arrays, a failure as the
// exception that names what to mend, the workshop as a warning.
py::dict tableOrRaise(const TableRows& rows, const RunResult& result) {
    switch (result.failure) {
    case RunFailure::none: break;
    case RunFailure::configuration: throw ConfigurationUnreadable(result.message);
    case RunFailure::setting: throw std::invalid_argument(result.message);
    case RunFailure::run: throw std::runtime_error(result.message);
    }
    if (result.workshop != Damage::none) {
        const std::string text = std::string("Werkstatt: ") + workshopText(result.workshop);
        if (PyErr_WarnEx(PyExc_RuntimeWarning, text.c_str(), 1) != 0) throw py::error_already_set();
    }
    return dictOf(rows.table);
}

py::dict runScenarioFile(const std::filesystem::path& path, const std::optional<std::filesystem::path>& configuration) {
    std::string text;
    if (std::string problem = readScenarioFile(path, text); !problem.empty()) throw ConfigurationUnreadable(problem);
    ScenarioError error{};
    const auto scenario = parseScenario(text, error);
    if (!scenario) {
        throw std::invalid_argument(path.string() + ":" + std::to_string(error.line) + ": " + error.message);
    }
    TableRows rows;
    RunResult result;
    {
        const py::gil_scoped_release free;
        result = runScenarioRows(*scenario, rows, nullptr, configuration.value_or(std::filesystem::path{}));
    }
    return tableOrRaise(rows, result);
}

// A recording that cannot be replayed: unreadable, or of another model.
struct RecordingUnreadable : std::runtime_error {
    using std::runtime_error::runtime_error;
};

py::dict replayRecording(const std::filesystem::path& path, const std::optional<std::vector<std::string>>& names,
                         double every) {
    ReplayRunOptions options;
    if (!(every > 0.0 && every <= maxRunSeconds)) {
        throw std::invalid_argument("every must lie between 0 and " + std::to_string(truncateTo<long>(maxRunSeconds)) +
                                    " s");
    }
    options.printInterval = every;
    for (const std::string& name : names.value_or(std::vector<std::string>{})) {
        const FieldAccess* field = findField(name);
        if (!field) throw std::invalid_argument(unknownFieldMessage(name));
        options.columns.push_back(field);
    }
    TableRows rows;
    ReplayResult result;
    {
        const py::gil_scoped_release free;
        result = replayRows(path.string(), options, rows);
    }
    if (!result.opened) throw RecordingUnreadable(result.report);
    if (!result.alike && PyErr_WarnEx(PyExc_RuntimeWarning, result.report.c_str(), 1) != 0) {
        throw py::error_already_set();
    }
    return dictOf(rows.table);
}

}  // namespace
}  // namespace zt40

PYBIND11_MODULE(zt40, module) {
    using zt40::SteppedDrive;
    module.doc() = "The ZT 40 steam tank locomotive: drives for study, with the results of zt40-sim.";
    module.attr("__version__") = ZT40_VERSION;
    py::register_exception<zt40::ConfigurationUnreadable>(module, "ConfigurationError", PyExc_OSError);
    py::register_exception<zt40::RecordingUnreadable>(module, "RecordingError", PyExc_OSError);

    py::class_<SteppedDrive>(module, "Drive", R"(A drive as zt40-sim starts it, or from a configuration file.

Settings made before the first run take the place of the configuration
file's values and are held to its ranges; later ones act from the
simulated time reached, as a scenario's "at" lines do. Names are the
runner's: record fields, steam spaces ("boilerSteam.pressure") and the
automatic control's settings ("autoControl.targetSpeed"), SI units.)")
        .def(py::init<const std::optional<std::filesystem::path>&, std::uint32_t>(), py::arg("config") = py::none(),
             py::arg("seed") = 1)
        .def("set", &SteppedDrive::set, py::arg("name"), py::arg("value"), py::call_guard<py::gil_scoped_release>(),
             "Sets a field or a setting of the automatic control.")
        .def("get", &SteppedDrive::get, py::arg("name"), py::call_guard<py::gil_scoped_release>(),
             "The value of a field or a setting of the automatic control.")
        .def("run", &SteppedDrive::run, py::arg("seconds"), py::call_guard<py::gil_scoped_release>(),
             "Runs on for that much simulated time, counted from where the last run was to end.")
        .def(
            "sample",
            [](SteppedDrive& drive, const std::vector<std::string>& names, double every, double seconds) {
                zt40::Table table;
                {
                    const py::gil_scoped_release free;
                    table = drive.sample(names, every, seconds);
                }
                return zt40::dictOf(table);
            },
            py::arg("names"), py::arg("every"), py::arg("seconds"),
            "Runs as run() does; returns a numpy array per name and simTime: a row every `every` seconds "
            "and the state at the end, as zt40-sim prints them.")
        .def(
            "state",
            [](SteppedDrive& drive) {
                std::vector<std::pair<std::string, double>> values;
                {
                    const py::gil_scoped_release free;
                    values = drive.state();
                }
                py::dict state;
                for (const auto& [name, value] : values) state[py::str(name)] = value;
                return state;
            },
            "Every field and every setting of the automatic control, by name.")
        .def_property_readonly("workshop", &SteppedDrive::workshop, py::call_guard<py::gil_scoped_release>(),
                               "Why the drive ended in the workshop, as the program says it; None while it runs.");

    module.def("run_scenario", &zt40::runScenarioFile, py::arg("path"), py::arg("config") = py::none(),
               "Runs a scenario file as zt40-sim does; returns its columns as numpy arrays.");
    module.def("replay", &zt40::replayRecording, py::arg("path"), py::arg("names") = py::none(),
               py::arg("every") = 1.0,
               "Replays a recorded drive as zt40-sim --replay does; returns its columns as numpy arrays, a row every "
               "`every` seconds (the runner's default columns unless `names` are given). A recording that cannot be "
               "read raises RecordingError; a replay that departs from the recording warns with the place.");
}
