#include "scenario.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <sstream>

#include "numeric.h"
#include "simulation_model.h"
#include "time_step.h"

namespace zt40 {

namespace {

template <class T>
FieldAccess scalar(std::string name, T SimulationBlock::*field) {
    return {std::move(name), [field](const SimulationBlock& b) { return static_cast<double>(b.*field); },
            [field](SimulationBlock& b, double v) {
                if constexpr (std::is_same_v<T, double>) b.*field = v;
                else if constexpr (std::is_same_v<T, bool>) b.*field = v != 0.0;
                else b.*field = truncateTo<T>(v);
            }};
}

template <class Space>
void addSpace(std::vector<FieldAccess>& fields, const std::string& name, Space SimulationBlock::*space) {
    const std::pair<const char*, double GasSpace::*> parts[] = {
        {"pressure", &GasSpace::pressure}, {"steamMass", &GasSpace::steamMass},
        {"temperature", &GasSpace::temperature}, {"volume", &GasSpace::volume},
        {"waterMass", &GasSpace::waterMass}};
    for (const auto& [part, member] : parts) {
        fields.push_back({name + "." + part,
                          [space, member](const SimulationBlock& b) { return static_cast<const GasSpace&>(b.*space).*member; },
                          [space, member](SimulationBlock& b, double v) { static_cast<GasSpace&>(b.*space).*member = v; }});
    }
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
        ZT40_FIELD(displayScale), ZT40_FIELD(exhaustEnd), ZT40_FIELD(autoFiringShortfall), ZT40_FIELD(valveLead),
        ZT40_FIELD(trueWaterDepth), ZT40_FIELD(simTime), ZT40_FIELD(counterPressureThrottle),
        ZT40_FIELD(fireSetpoint), ZT40_FIELD(blowerSetting), ZT40_FIELD(fireRate), ZT40_FIELD(fireShortfall),
        ZT40_FIELD(waterQuality), ZT40_FIELD(pilotValve), ZT40_FIELD(regulator), ZT40_FIELD(simSpeedCode),
        ZT40_FIELD(gradient), ZT40_FIELD(cylinderWaterInjection), ZT40_FIELD(brake), ZT40_FIELD(injectorRate),
        ZT40_FIELD(peakCylinderPressure), ZT40_FIELD(reverser), ZT40_FIELD(indicatorIndex),
        ZT40_FIELD(indicatorCount), ZT40_FIELD(ambientTemp), ZT40_FIELD(clientWidth), ZT40_FIELD(clientHeight),
        ZT40_FIELD(trainWeight), ZT40_FIELD(autoFiring), ZT40_FIELD(blastPipeClosed), ZT40_FIELD(valvesEngaged),
        ZT40_FIELD(drainCocksOpen), ZT40_FIELD(indicatorSide), ZT40_FIELD(resetSpaces), ZT40_FIELD(wheelSlip),
        ZT40_FIELD(simHold), ZT40_FIELD(fineTimer), ZT40_FIELD(reliefB1), ZT40_FIELD(reliefSide2),
        ZT40_FIELD(safetyValveOpen), ZT40_FIELD(reliefA1), ZT40_FIELD(waterSloshing),
        ZT40_FIELD(cylinderCoverBurst),
    };
    addSpace(fields, "steamChest", &SimulationBlock::steamChest);
    addSpace(fields, "exhaustSpace", &SimulationBlock::exhaustSpace);
    addSpace(fields, "cylinder1SpaceB", &SimulationBlock::cylinder1SpaceB);
    addSpace(fields, "cylinder1SpaceA", &SimulationBlock::cylinder1SpaceA);
    addSpace(fields, "boilerSteam", &SimulationBlock::boilerSteam);
    return fields;
}

#undef ZT40_FIELD

std::vector<std::string> words(std::string_view line) {
    std::istringstream in{std::string(line)};
    std::vector<std::string> result;
    for (std::string word; in >> word;) result.push_back(word);
    return result;
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
        if (verb == "at" && (!parseNumber(w[1], setting.time) || setting.time < 0.0)) return "bad time '" + w[1] + "'";
        if (!setting.field) return "unknown field '" + w[first] + "'";
        if (!parseNumber(w[first + 1], setting.value)) return "bad value '" + w[first + 1] + "'";
        s.settings.push_back(setting);
        return {};
    }
    if (verb == "run") {
        if (w.size() != 2 || !parseNumber(w[1], s.duration) || s.duration <= 0.0) return "expected 'run SECONDS' with SECONDS > 0";
        return {};
    }
    if (verb == "print") {
        if (w.size() < 3 || !parseNumber(w[1], s.printInterval) || s.printInterval <= 0.0) {
            return "expected 'print SECONDS FIELD...' with SECONDS > 0";
        }
        for (std::size_t i = 2; i < w.size(); ++i) {
            const FieldAccess* field = findField(w[i]);
            if (!field) return "unknown field '" + w[i] + "'";
            s.columns.push_back(field);
        }
        return {};
    }
    return "unknown command '" + verb + "' (set, at, run, print)";
}

// What the main thread does for the model between exchanges: travel, and
// the piston valves taken up by steam and dropped when the chest is empty.
void mainThreadDuties(SimulationBlock& block, double exchangeTime) {
    block.distance += block.trainSpeed * exchangeTime;
    if (block.steamChest.pressure > 50000.0) block.valvesEngaged = true;
    else if (block.steamChest.pressure < 1000.0 && std::fabs(block.wheelSpeed) > 0.0001) block.valvesEngaged = false;
}

void writeRow(std::ostream& csv, const Scenario& s, const SimulationBlock& block) {
    char number[64];
    for (std::size_t i = 0; i < s.columns.size(); ++i) {
        std::snprintf(number, sizeof number, "%.9g", s.columns[i]->get(block));
        csv << (i ? "," : "") << number;
    }
    csv << '\n';
}

}  // namespace

const std::vector<FieldAccess>& scenarioFields() {
    static const std::vector<FieldAccess> fields = makeFields();
    return fields;
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
    return scenario;
}

void defaultScenarioState(SimulationBlock& block) {
    block = SimulationBlock{};
    constructSteamSpaces(block);
    block.stepInterval = 0.015;
    block.fineTimer = true;
    block.expansionEnd = 91.0;
    block.exhaustEnd = 86.0;
    block.valveLead = 2.0;
    block.blastPipeArea = 0.012;
    block.portArea = 0.01;
    block.boilerPower = 742500.0;
    block.superheaterPower = 8000000.0;
    block.frictionFactor = 0.25;
    block.tankWater = 12000.0;
    block.waterQuality = 100;
    block.autoFiring = true;
    block.ambientTemp = 288;
    block.cylinderWallTemp = 288.0;
    block.wheelAngle = 1.0;
    block.displayScale = 5.0;
    block.clientWidth = 1600;
    block.clientHeight = 1170;
    block.boilerSteam.pressure = 1350000.0;
    block.boilerSteam.waterMass = 8500.0;
}

void runScenario(const Scenario& scenario, std::ostream& csv) {
    auto block = std::make_unique<SimulationBlock>();
    defaultScenarioState(*block);
    auto next = scenario.settings.begin();
    for (; next != scenario.settings.end() && next->time <= 0.0; ++next) next->field->set(*block, next->value);

    SimulationModel model;
    model.start(*block);
    for (std::size_t i = 0; i < scenario.columns.size(); ++i) csv << (i ? "," : "") << scenario.columns[i]->name;
    csv << '\n';

    double nextRow = 0.0;  // s
    while (block->simTime < scenario.duration) {
        for (; next != scenario.settings.end() && next->time <= block->simTime; ++next) {
            next->field->set(*block, next->value);
        }
        if (block->simTime >= nextRow) {
            writeRow(csv, scenario, *block);
            nextRow += scenario.printInterval;
        }
        const double before = block->simTime;
        model.runExchange(*block);
        const double exchangeTime = block->simTime - before;
        if (exchangeTime <= 0.0) break;  // held or stopped for good
        mainThreadDuties(*block, exchangeTime);
    }
    writeRow(csv, scenario, *block);
}

}  // namespace zt40
