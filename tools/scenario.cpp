#include "scenario.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <ostream>
#include <sstream>

#include "key_names.h"
#include "numeric.h"
#include "scenario_drive.h"
#include "sim_speed.h"

namespace zt40 {

namespace {

template <class T, class Block>
FieldAccess scalar(std::string name, T Block::*field) {
    return {std::move(name), [field](const LocomotiveState& b) { return static_cast<double>(b.*field); },
            [field](LocomotiveState& b, double v) {
                if constexpr (std::is_same_v<T, double>) b.*field = v;
                else if constexpr (std::is_same_v<T, bool>) b.*field = v != 0.0;
                else b.*field = truncateTo<T>(v);
            }};
}

template <class Space>
void addSpace(std::vector<FieldAccess>& fields, const std::string& name, Space ModelResults::*space) {
    const std::pair<const char*, double GasSpace::*> parts[] = {
        {"pressure", &GasSpace::pressure}, {"steamMass", &GasSpace::steamMass},
        {"temperature", &GasSpace::temperature}, {"volume", &GasSpace::volume},
        {"waterMass", &GasSpace::waterMass}};
    for (const auto& entry : parts) {
        const auto member = entry.second;  // a plain variable: lambdas capture no structured binding before Clang 16
        fields.push_back({name + "." + entry.first,
                          [space, member](const LocomotiveState& b) { return static_cast<const GasSpace&>(b.*space).*member; },
                          [space, member](LocomotiveState& b, double v) { static_cast<GasSpace&>(b.*space).*member = v; }});
    }
}

// A figure of one of the model's result records, read as a column.
template <class Record>
FieldAccess result(std::string name, Record ModelResults::*record, double Record::*value) {
    return {std::move(name), [record, value](const LocomotiveState& b) { return (b.*record).*value; },
            [record, value](LocomotiveState& b, double v) { (b.*record).*value = v; }};
}

// The same for a figure of a part of such a record.
template <class Record, class Part>
FieldAccess result(std::string name, Record ModelResults::*record, Part Record::*part, double Part::*value) {
    return {std::move(name), [record, part, value](const LocomotiveState& b) { return (b.*record).*part.*value; },
            [record, part, value](LocomotiveState& b, double v) { (b.*record).*part.*value = v; }};
}

// The indicated figures and the boiler's balance, in SI units but steam
// per indicated kWh.
void addEngineFigures(std::vector<FieldAccess>& fields) {
    using E = EngineIndication;
    using F = IndicatedFigures;
    using B = BoilerBalance;
    constexpr auto in = &ModelResults::indication;
    constexpr auto balance = &ModelResults::boilerBalance;
    const FieldAccess added[] = {
        result("indicatedWork", in, &E::engine, &F::work),
        result("indicatedWork1", in, &E::side1, &F::work),
        result("indicatedWork2", in, &E::side2, &F::work),
        result("meanEffectivePressure1", in, &E::side1, &F::meanEffectivePressure),
        result("meanEffectivePressure2", in, &E::side2, &F::meanEffectivePressure),
        result("indicatedPower", in, &E::engine, &F::power),
        result("rimPower", in, &E::rimPower),
        result("cylinderSteamRate", in, &E::engine, &F::steamRate),
        result("steamPerKWh", in, &E::engine, &F::steamPerKWh),
        result("steamMade", balance, &B::steamMade),
        result("steamUsed", balance, &B::steamUsed),
        result("injectorSteam", balance, &B::injectorSteam),
        result("safetyValveSteam", balance, &B::safetyValveSteam),
        result("boilerWaterTrend", balance, &B::waterTrend),
    };
    fields.insert(fields.end(), std::begin(added), std::end(added));
}

#define ZT40_FIELD(name) scalar(#name, &SimulationBlock::name)

std::vector<FieldAccess> makeFields() {
    std::vector<FieldAccess> fields = {
        ZT40_FIELD(counterPressureThrottleFlow), ZT40_FIELD(blastPipeFlow), ZT40_FIELD(blastPipeAuxFlow),
        ZT40_FIELD(expansionEnd), ZT40_FIELD(acceleration), ZT40_FIELD(blastPipeArea), ZT40_FIELD(wheelSpeed),
        ZT40_FIELD(trainSpeed), ZT40_FIELD(stepInterval), ZT40_FIELD(boilerPower), ZT40_FIELD(wheelPower),
        ZT40_FIELD(boilerSteamDraw), ZT40_FIELD(tankWater), ZT40_FIELD(blowerSteamFlow), ZT40_FIELD(distance),
        ZT40_FIELD(frictionFactor), ZT40_FIELD(sandBonus), ZT40_FIELD(portArea), ZT40_FIELD(gaugeGlassLevel),
        ZT40_FIELD(wheelAngle), ZT40_FIELD(carryingWheelAngle), ZT40_FIELD(steamChestPyrometer),
        ZT40_FIELD(cylinderWallTemp), ZT40_FIELD(superheaterPower), ZT40_FIELD(primingRate),
        ZT40_FIELD(exhaustEnd), ZT40_FIELD(autoFiringShortfall), ZT40_FIELD(valveLead),
        ZT40_FIELD(trueWaterDepth), ZT40_FIELD(simTime), ZT40_FIELD(counterPressureThrottle),
        ZT40_FIELD(fireSetpoint), ZT40_FIELD(blowerSetting), ZT40_FIELD(fireRate), ZT40_FIELD(fireShortfall),
        ZT40_FIELD(waterQuality), ZT40_FIELD(pilotValve), ZT40_FIELD(regulator), ZT40_FIELD(simSpeedCode),
        ZT40_FIELD(gradient), ZT40_FIELD(cylinderWaterInjection), ZT40_FIELD(brake), ZT40_FIELD(injectorRate),
        ZT40_FIELD(peakCylinderPressure), ZT40_FIELD(reverser), ZT40_FIELD(indicatorIndex),
        ZT40_FIELD(indicatorCount), ZT40_FIELD(ambientTemp),
        ZT40_FIELD(trainWeight), ZT40_FIELD(autoFiring), ZT40_FIELD(blastPipeClosed), ZT40_FIELD(valvesEngaged),
        ZT40_FIELD(drainCocksOpen), ZT40_FIELD(indicatorSide), ZT40_FIELD(resetSpaces), ZT40_FIELD(wheelSlip),
        ZT40_FIELD(simHold), ZT40_FIELD(fineTimer), ZT40_FIELD(reliefB1), ZT40_FIELD(reliefSide2),
        ZT40_FIELD(safetyValveOpen), ZT40_FIELD(reliefA1), ZT40_FIELD(waterSloshing),
        ZT40_FIELD(cylinderCoverBurst),
        scalar("sandSeconds", &LocomotiveState::sandSeconds), scalar("waterPerKm", &LocomotiveState::waterPerKm),
        scalar("brakeCommand", &LocomotiveState::brakeCommand), scalar("maxGradient", &LocomotiveState::maxGradient),
        scalar("targetWaterLevel", &LocomotiveState::targetWaterLevel),
        scalar("injectorAutomatic", &LocomotiveState::injectorAutomatic),
        scalar("autoSanding", &LocomotiveState::autoSanding), scalar("sandingOn", &LocomotiveState::sandingOn),
        scalar("trackAutomatic", &LocomotiveState::trackAutomatic),
        scalar("displayScale", &LocomotiveState::displayScale), scalar("clientWidth", &LocomotiveState::clientWidth),
        scalar("clientHeight", &LocomotiveState::clientHeight),
    };
    addSpace(fields, "steamChest", &SimulationBlock::steamChest);
    addSpace(fields, "exhaustSpace", &SimulationBlock::exhaustSpace);
    addSpace(fields, "cylinder1SpaceB", &SimulationBlock::cylinder1SpaceB);
    addSpace(fields, "cylinder1SpaceA", &SimulationBlock::cylinder1SpaceA);
    addSpace(fields, "boilerSteam", &SimulationBlock::boilerSteam);
    addEngineFigures(fields);
    return fields;
}

#undef ZT40_FIELD

template <class T>
ControlAccess control(std::string name, T AutoControlSettings::*field) {
    return {"autoControl." + std::move(name),
            [field](const AutoControlSettings& a) { return static_cast<double>(a.*field); },
            [field](AutoControlSettings& a, double v) {
                if constexpr (std::is_same_v<T, double>) a.*field = v;
                else if constexpr (std::is_same_v<T, bool>) a.*field = v != 0.0;
                else a.*field = truncateTo<T>(v);
            }};
}

std::vector<ControlAccess> makeControls() {
    return {control("controlOn", &AutoControlSettings::controlOn),
            control("speedMode", &AutoControlSettings::speedMode),
            control("targetSpeed", &AutoControlSettings::targetSpeed),
            control("targetPower", &AutoControlSettings::targetPower),
            control("backPressure", &AutoControlSettings::backPressure),
            control("targetChestPressure", &AutoControlSettings::targetChestPressure),
            control("minCutoff", &AutoControlSettings::minCutoff),
            control("autoSand", &AutoControlSettings::autoSand),
            control("forwardRequest", &AutoControlSettings::forwardRequest),
            control("reverseRequest", &AutoControlSettings::reverseRequest)};
}

std::vector<std::string> words(std::string_view line) {
    std::istringstream in{std::string(line)};
    std::vector<std::string> result;
    for (std::string word; in >> word;) result.push_back(word);
    return result;
}

// A word of the scenario as an error message shows it: quoted, cut short,
// with unprintable bytes spelled out.
std::string shownWord(std::string_view word) {
    constexpr std::size_t shown = 40;  // characters
    std::string text = "'";
    for (std::size_t i = 0; i < word.size() && i < shown; ++i) {
        const auto byte = static_cast<unsigned char>(word[i]);
        if (byte >= 0x20 && byte < 0x7f) {
            text += static_cast<char>(byte);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            text += escaped;
        }
    }
    if (word.size() > shown) text += "...";
    return text + "'";
}

// A value that would leave simulated time standing; the reason, or empty.
std::string stopsTime(const FieldAccess& field, double value) {
    if (field.name == "simSpeedCode" && !(value >= SimSpeed::slowestCode && value < SimSpeed::fastestCode + 1)) {
        return "simSpeedCode " + std::to_string(truncateTo<int>(value)) +
               " would stop simulated time: use -3 (1:10) to 3 (10:1)";
    }
    if (field.name == "simTime" && !(value >= 0.0 && value <= maxRunSeconds)) {
        return "simTime must lie between 0 and " + std::to_string(truncateTo<long>(maxRunSeconds)) + " s";
    }
    if (field.name == "stepInterval" && !(value >= 0.01 && value <= 0.1)) {
        return "stepInterval must lie between 0.01 and 0.1 s";
    }
    return {};
}

bool parseNumber(const std::string& text, double& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return end != text.c_str() && *end == '\0' && errno == 0 && std::isfinite(value);
}

// Parses one non-empty line into the scenario; the message on failure.
std::string parseLine(const std::vector<std::string>& w, Scenario& s) {
    const std::string& verb = w[0];
    if (verb == "set" || verb == "at") {
        const std::size_t first = verb == "at" ? 2 : 1;
        if (w.size() != first + 2) return "expected '" + verb + (verb == "at" ? " SECONDS" : "") + " FIELD VALUE'";
        ScenarioSetting setting{0.0, findField(w[first]), 0.0};
        if (verb == "at" && (!parseNumber(w[1], setting.time) || setting.time < 0.0)) return "bad time " + shownWord(w[1]);
        const ControlAccess* control = setting.field ? nullptr : findControl(w[first]);
        if (!setting.field && !control) return unknownFieldMessage(w[first]);
        if (!parseNumber(w[first + 1], setting.value)) return "bad value " + shownWord(w[first + 1]);
        if (std::string reason = settingProblem(w[first], setting.value); !reason.empty()) return reason;
        if (control) {
            s.controls.push_back({setting.time, control, setting.value});
            return {};
        }
        s.settings.push_back(setting);
        return {};
    }
    if (verb == "key") {
        if (w.size() < 3 || w.size() > 4) return "expected 'key SECONDS KEY [HOLD]'";
        KeyPress press{0.0, 0, keyTap};
        if (!parseNumber(w[1], press.time) || press.time < 0.0) return "bad time " + shownWord(w[1]);
        const auto key = virtualKeyNamed(w[2]);
        if (!key) return "unknown key " + shownWord(w[2]);
        press.virtualKey = *key;
        if (w.size() == 4 && (!parseNumber(w[3], press.hold) || press.hold <= 0.0 || press.hold > maxRunSeconds)) {
            return "bad holding time " + shownWord(w[3]);
        }
        s.keys.push_back(press);
        return {};
    }
    if (verb == "seed") {
        double seed = 0.0;
        if (w.size() != 2 || !parseNumber(w[1], seed) || seed < 0.0) return "expected 'seed NUMBER'";
        s.seed = truncateTo<std::uint32_t>(seed);
        return {};
    }
    if (verb == "run") {
        if (w.size() != 2 || !parseNumber(w[1], s.duration) || s.duration <= 0.0 || s.duration > maxRunSeconds) {
            return "expected 'run SECONDS' with 0 < SECONDS <= " + std::to_string(truncateTo<long>(maxRunSeconds));
        }
        return {};
    }
    if (verb == "print") {
        if (w.size() < 3 || !parseNumber(w[1], s.printInterval) || s.printInterval <= 0.0) {
            return "expected 'print SECONDS FIELD...' with SECONDS > 0";
        }
        for (std::size_t i = 2; i < w.size(); ++i) {
            const FieldAccess* field = findField(w[i]);
            if (!field) return unknownFieldMessage(w[i]);
            s.columns.push_back(field);
        }
        return {};
    }
    return "unknown command " + shownWord(verb) + " (set, at, key, run, print, seed)";
}

}  // namespace

const std::vector<FieldAccess>& scenarioFields() {
    static const std::vector<FieldAccess> fields = makeFields();
    return fields;
}

const std::vector<ControlAccess>& controlFields() {
    static const std::vector<ControlAccess> controls = makeControls();
    return controls;
}

const ControlAccess* findControl(std::string_view name) {
    for (const ControlAccess& c : controlFields()) {
        if (c.name == name) return &c;
    }
    return nullptr;
}

std::string unknownFieldMessage(std::string_view name) { return "unknown field " + shownWord(name); }

std::string settingProblem(std::string_view name, double value) {
    const FieldAccess* field = findField(name);
    if (!field && !findControl(name)) return unknownFieldMessage(name);
    if (!std::isfinite(value)) {
        char shown[64];
        std::snprintf(shown, sizeof shown, "%g", value);
        return "bad value " + shownWord(shown);
    }
    return field ? stopsTime(*field, value) : std::string{};
}

const FieldAccess* findField(std::string_view name) {
    for (const FieldAccess& f : scenarioFields()) {
        if (f.name == name) return &f;
    }
    return nullptr;
}

std::optional<Scenario> parseScenario(std::string_view text, ScenarioError& error) {
    Scenario scenario;
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++number;
        if (line.size() > maxLineLength) {
            error = {number, "line longer than " + std::to_string(maxLineLength) + " characters"};
            return std::nullopt;
        }
        line = line.substr(0, line.find('#'));
        const std::vector<std::string> w = words(line);
        if (w.empty()) continue;
        if (std::string message = parseLine(w, scenario); !message.empty()) {
            error = {number, message};
            return std::nullopt;
        }
    }
    if (scenario.duration <= 0.0) {
        error = {number, "no 'run SECONDS' line"};
        return std::nullopt;
    }
    std::stable_sort(scenario.settings.begin(), scenario.settings.end(),
                     [](const ScenarioSetting& a, const ScenarioSetting& b) { return a.time < b.time; });
    std::stable_sort(scenario.controls.begin(), scenario.controls.end(),
                     [](const ControlSetting& a, const ControlSetting& b) { return a.time < b.time; });
    return scenario;
}

std::string readScenarioFile(const std::filesystem::path& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return "cannot read " + path.string();
    text.resize(maxScenarioBytes + 1);
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    if (file.bad()) return "cannot read " + path.string();
    if (text.size() > maxScenarioBytes) {
        return path.string() + " is larger than " + std::to_string(maxScenarioBytes) +
               " bytes; a scenario is a short text";
    }
    return {};
}

void CsvRows::columns(const std::vector<std::string>& names) {
    for (std::size_t i = 0; i < names.size(); ++i) csv_ << (i ? "," : "") << names[i];
    csv_ << '\n' << std::flush;
}

void CsvRows::row(const std::vector<double>& values) {
    char number[64];
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::snprintf(number, sizeof number, "%.9g", values[i]);
        csv_ << (i ? "," : "") << number;
    }
    csv_ << '\n' << std::flush;
}

RunResult runScenarioRows(const Scenario& scenario, RowSink& rows, ScenarioScreen* screen,
                          const std::filesystem::path& configuration,
                          const std::function<void(const LocomotiveState&)>& observe) {
    ScenarioDrive drive(scenario.seed, configuration, screen);
    if (!drive.loadProblem().empty()) return {RunFailure::configuration, drive.loadProblem()};
    auto next = scenario.settings.begin();
    while (next != scenario.settings.end() && next->time <= 0.0) ++next;  // applied at the start
    if (RunResult refused = drive.start({scenario.settings.begin(), next}); refused.failure != RunFailure::none) {
        return refused;
    }

    std::vector<std::string> names;
    for (const FieldAccess* column : scenario.columns) names.push_back(column->name);
    rows.columns(names);
    std::vector<double> values(scenario.columns.size());
    const auto writeRow = [&](const LocomotiveState& state) {
        for (std::size_t i = 0; i < values.size(); ++i) values[i] = scenario.columns[i]->get(state);
        rows.row(values);
    };
    double nextRow = 0.0;  // s
    auto nextControl = scenario.controls.begin();
    // The driver's hands: keys go the window's way, typed on its clock.
    for (const KeyPress& key : scenario.keys) drive.press(key);
    if (observe) observe(drive.state());
    RunResult result;
    result.message = drive.runUntil(scenario.duration, [&](LocomotiveState& state) {
        for (; next != scenario.settings.end() && next->time <= state.simTime; ++next) next->field->set(state, next->value);
        for (; nextControl != scenario.controls.end() && nextControl->time <= state.simTime; ++nextControl) {
            nextControl->control->set(drive.autoControl(), nextControl->value);
        }
        if (state.simTime >= nextRow) {
            writeRow(state);
            nextRow += scenario.printInterval;
        }
    }, observe);
    writeRow(drive.state());
    if (!result.message.empty()) {
        result.failure = RunFailure::run;
    } else {
        drive.awaitFrameOfTheEnd();
    }
    result.workshop = drive.workshop();
    return result;
}

std::string runScenario(const Scenario& scenario, std::ostream& csv, ScenarioScreen* screen,
                        const std::filesystem::path& configuration,
                        const std::function<void(const LocomotiveState&)>& observe) {
    CsvRows rows(csv);
    const RunResult result = runScenarioRows(scenario, rows, screen, configuration, observe);
    // A run that ended in the workshop says why.
    if (result.workshop != Damage::none) std::cerr << "Werkstatt: " << workshopText(result.workshop) << '\n';
    return result.message;
}

}  // namespace zt40
