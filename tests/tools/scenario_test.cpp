#include "scenario.h"
#include "scenario_csv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <numbers>
#include <set>
#include <sstream>

#include "config_fixtures.h"

namespace zt40 {
namespace {

ScenarioError failure(std::string_view text) {
    ScenarioError error{};
    EXPECT_FALSE(parseScenario(text, error));
    return error;
}

TEST(Scenario, BadLinesAreReportedWithTheirNumber) {
    const struct {
        const char* text;
        int line;
        const char* message;
    } cases[] = {
        {"run 10\nset nonsense 3\n", 2, "unknown field 'nonsense'"},
        {"# start\n\nset reverser many\nrun 1\n", 3, "bad value 'many'"},
        {"at -1 regulator 10\nrun 1\n", 1, "bad time '-1'"},
        {"run 1\nprint 1 simTime bogus\n", 2, "unknown field 'bogus'"},
        {"run 1\ndrive fast\n", 2, "unknown command 'drive' (set, at, key, run, print, seed)"},
        {"set regulator 10\n", 1, "no 'run SECONDS' line"},
        {"run 0\n", 1, "expected 'run SECONDS' with 0 < SECONDS <= 1000000"},
        {"run 1e9\n", 1, "expected 'run SECONDS' with 0 < SECONDS <= 1000000"},
        {"run 5\nset regulator\n", 2, "expected 'set FIELD VALUE'"},
        {"run 5\nkey 1\n", 2, "expected 'key SECONDS KEY [HOLD]'"},
        {"run 5\nkey 1 Hebel\n", 2, "unknown key 'Hebel'"},
        {"run 5\nkey soon Shift\n", 2, "bad time 'soon'"},
        {"run 5\nkey 1 Shift 0\n", 2, "bad holding time '0'"},
        // Settings that would leave simulated time standing.
        {"run 5\nset simSpeedCode -4\n", 2, "simSpeedCode -4 would stop simulated time: use -3 (1:10) to 3 (10:1)"},
        {"run 5\nat 2 simSpeedCode -4\n", 2, "simSpeedCode -4 would stop simulated time: use -3 (1:10) to 3 (10:1)"},
        {"run 5\nset simTime -1e300\n", 2, "simTime must lie between 0 and 1000000 s"},
        // A bad value is shown cut short and printable.
        {"run 5\nset reverser 0123456789012345678901234567890123456789xyz\n", 2,
         "bad value '0123456789012345678901234567890123456789...'"},
        {"run 5\nset reverser 1\x01\x7f\n", 2, "bad value '1\\x01\\x7f'"},
    };
    for (const auto& c : cases) {
        const ScenarioError error = failure(c.text);
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_EQ(error.message, c.message) << c.text;
    }
    const ScenarioError endless = failure("run 1\nset reverser " + std::string(maxLineLength, '1') + "\n");
    EXPECT_EQ(endless.line, 2);
    EXPECT_EQ(endless.message, "line longer than 1000 characters");
}

TEST(Scenario, PrintsRowsAtTheIntervalAndAppliesSettingsOnTime) {
    const std::string csv = run(
        "set trainWeight 100   # comment after a line\n"
        "set pilotValve 60     # steam keeps the engine out of standby\n"
        "at 5 reverser -120\n"
        "run 10\n"
        "print 2.5 simTime reverser trainWeight boilerSteam.pressure\n");
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "simTime,reverser,trainWeight,boilerSteam.pressure");
    std::vector<std::pair<double, int>> rows;  // simTime, reverser
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        double time = 0.0;
        char comma = 0;
        int reverser = 0;
        fields >> time >> comma >> reverser;
        rows.emplace_back(time, reverser);
    }
    ASSERT_EQ(rows.size(), 5u);  // 0, 2.5, 5, 7.5 and the end at 10 s
    EXPECT_EQ(rows[0].first, 0.0);
    EXPECT_EQ(csv.substr(csv.find('\n') + 1, 8), "0,0,100,");
    for (const auto& [time, reverser] : rows) EXPECT_EQ(reverser, time < 5.0 ? 0 : -120) << time;
    EXPECT_GE(rows.back().first, 10.0);
}

TEST(Scenario, TheSameScenarioGivesTheSameBytes) {
    const char* text =
        "set trainWeight 300\nat 1 reverser -160\nat 1 pilotValve 115\nat 5 regulator 40\n"
        "run 20\nprint 0.5 simTime trainSpeed wheelAngle boilerSteam.pressure steamChest.temperature\n";
    const std::string first = run(text);
    EXPECT_EQ(first, run(text));
    EXPECT_GT(first.size(), 1000u);
}

TEST(Scenario, OverspeedEndsTheRunInTheWorkshop) {
    // Full gear down a steep line: past 32 m/s the engine is damaged.
    const std::string csv = run(
        "set trackAutomatic 0\nset gradient -60\nset cylinderWallTemp 400\n"
        "at 2 reverser -160\nat 3 pilotValve 115\nrun 400\nprint 10 simTime trainSpeed\n");
    const std::string last = csv.substr(csv.rfind('\n', csv.size() - 2) + 1);
    const double endTime = std::stod(last.substr(0, last.find(',')));
    const double endSpeed = std::stod(last.substr(last.find(',') + 1));
    EXPECT_LT(endTime, 400.0);
    EXPECT_GT(endSpeed, 32.0);
}

TEST(Scenario, HeldKeysTypeOnTheClockAtEverySimulationSpeed) {
    // A hand holds Shift two seconds and T one and a half, whatever the
    // simulation's speed: the lever opens one step a press and 46 repeats,
    // the track function toggles once.
    for (int code = -3; code <= 3; ++code) {
        SCOPED_TRACE(code);
        const auto rows = rowsOf(run("set simSpeedCode " + std::to_string(code) +
                                     "\nkey 0 T 1.5\nkey 1 Shift 2\nrun 60\n"
                                     "print 1 simTime pilotValve trackAutomatic\n"));
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows.front().at("pilotValve"), 0.0);
        EXPECT_EQ(rows.back().at("pilotValve"), 47.0);
        EXPECT_EQ(rows.front().at("trackAutomatic"), 1.0);
        EXPECT_EQ(rows.back().at("trackAutomatic"), 0.0);
    }
}

TEST(Scenario, SettingsTakeEffectBeforeTheModelStarts) {
    const auto rows = rowsOf(run(
        "set boilerSteam.pressure 1000000\nset boilerSteam.waterMass 7000\nset cylinderWallTemp 400\n"
        "run 2\nprint 1 simTime boilerSteam.pressure boilerSteam.waterMass cylinder1SpaceA.temperature "
        "exhaustSpace.temperature steamChestPyrometer\n"));
    ASSERT_GE(rows.size(), 2u);
    for (const auto& row : rows) {
        EXPECT_NEAR(row.at("boilerSteam.pressure"), 1000000.0, 30000.0) << row.at("simTime");
        EXPECT_NEAR(row.at("boilerSteam.waterMass"), 7000.0, 50.0) << row.at("simTime");
    }
    // Warmed through: the steam spaces start at the metal's temperature
    // (and the chest's pyrometer from there takes the steam's heat).
    EXPECT_NEAR(rows[1].at("cylinder1SpaceA.temperature"), 400.0, 1.0);
    EXPECT_NEAR(rows[1].at("exhaustSpace.temperature"), 400.0, 1.0);
    EXPECT_NEAR(rows[1].at("steamChestPyrometer"), 405.0, 5.0);

    // A field the start computes afresh cannot be set: said, not dropped.
    ScenarioError error{};
    const auto recomputed = parseScenario("set steamChest.pressure 500000\nrun 1\n", error);
    ASSERT_TRUE(recomputed);
    std::ostringstream csv;
    EXPECT_EQ(runScenario(*recomputed, csv), "the model's start computes steamChest.pressure afresh; such a field cannot be set");
    EXPECT_TRUE(csv.str().empty());
}

TEST(Scenario, StartSettingsAreHeldToTheConfigurationFilesRanges) {
    const struct {
        const char* settings;
        const char* refused;  // empty: taken
    } cases[] = {
        {"set cylinderWallTemp 1e300\n", "cylinderWallTemp 1e+300"},
        {"set distance 1e300\n", "distance 1e+300"},
        {"set tankWater 20000\nset trainWeight 6000\nset gradient 10\n", "tankWater 20000, trainWeight 6000"},
        {"set wheelAngle 0\n", "wheelAngle 0"},
        {"set ambientTemp 300\nset cylinderWallTemp 290\n", "cylinderWallTemp 290"},
        {"set ambientTemp 300\nset distance -5000\nset trackAutomatic 0\n", ""},
    };
    for (const auto& c : cases) {
        ScenarioError error{};
        const auto scenario = parseScenario(std::string(c.settings) + "run 1\nprint 1 simTime cylinderWallTemp\n", error);
        ASSERT_TRUE(scenario) << c.settings;
        std::ostringstream csv;
        const std::string problem = runScenario(*scenario, csv);
        if (*c.refused == '\0') {
            EXPECT_EQ(problem, "") << c.settings;
            // The cylinder, colder than the new air, warms to it as a file's would.
            for (const auto& row : rowsOf(csv.str())) EXPECT_GE(row.at("cylinderWallTemp"), 300.0) << c.settings;
        } else {
            EXPECT_EQ(problem, std::string("a configuration file cannot hold ") + c.refused +
                                   "; such a value cannot be set")
                << c.settings;
        }
    }
}

TEST(Scenario, ARunStartsFromASavedConfigurationAsAfterJa) {
    testing::TemporaryDirectory directory;
    const auto file = directory.path() / "Konfiguration_ZT40.cfg";
    // A 600 t train parked on a falling line of 25 per mille.
    const std::string saved =
        "Winkel des Rades    in Grad    : 90\r\nvorhandenes Wasser  in Liter   : 9000\r\n"
        "Druck im Kessel     in bar     : 12\r\nWasser im Kessel    in Liter   : 8000\r\n"
        "Zeit zwischen den Schritten  in ms : 15\r\nStreckenfunktion   (A/M): 1\r\n"
        "Maximale Steigung   in Promille: 40\r\nZuggewicht          in Tonnen  : 600\r\n"
        "Entfernung          in Meter   : 500\r\nStreckendaten:\r\n0;0.25;-25\r\n100000;0.25;-25\r\n";
    std::ofstream(file, std::ios::binary) << saved;
    ScenarioError error{};
    const auto scenario =
        parseScenario("set cylinderWallTemp 400\nat 20 brake 0\nrun 40\nprint 10 simTime trainWeight "
                      "cylinderWallTemp gradient brake trainSpeed distance\n",
                      error);
    ASSERT_TRUE(scenario);
    std::ostringstream csv;
    EXPECT_EQ(runScenario(*scenario, csv, nullptr, file), "");
    const auto rows = rowsOf(csv.str());
    ASSERT_GE(rows.size(), 4u);
    EXPECT_EQ(rows[0].at("cylinderWallTemp"), 400.0);  // the setting on top of the file
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const auto& row = rows[i];
        EXPECT_EQ(row.at("trainWeight"), 600.0);
        EXPECT_EQ(row.at("gradient"), -25.0);
        // Braked as parked until the driver releases the brake.
        if (row.at("simTime") <= 20.0) {
            EXPECT_EQ(row.at("trainSpeed"), 0.0) << row.at("simTime");
            EXPECT_EQ(row.at("brake"), 100.0) << row.at("simTime");
        }
    }
    EXPECT_GT(rows.back().at("trainSpeed"), 1.0);
    EXPECT_GT(rows.back().at("distance"), 510.0);
    // The file is only read.
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), saved);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory.path()),
                            std::filesystem::directory_iterator()),
              1);

    // A file that cannot be read is no start.
    std::ostringstream none;
    EXPECT_NE(runScenario(*scenario, none, nullptr, directory.path()).find("kann nicht gelesen werden"),
              std::string::npos);
}

// Counts how often the CSV is flushed.
class CountingBuffer : public std::stringbuf {
public:
    int flushes = 0;

protected:
    int sync() override {
        ++flushes;
        return std::stringbuf::sync();
    }
};

TEST(Scenario, TimeStandingStillEndsTheRunWithItsRowsFlushed) {
    // Without a display nothing lifts the hold: simulated time stands.
    ScenarioError error{};
    const auto scenario =
        parseScenario("at 2 displayScale 0\nat 2 simHold 1\nrun 100\nprint 1 simTime\n", error);
    ASSERT_TRUE(scenario);
    CountingBuffer buffer;
    std::ostream csv(&buffer);
    const std::string problem = runScenario(*scenario, csv);
    EXPECT_EQ(problem.rfind("simulated time has stood at 2.", 0), 0u) << problem;
    const auto rows = rowsOf(buffer.str());
    EXPECT_EQ(rows.size(), 4u);  // 0, 1 and 2 s, and where it stood
    EXPECT_GE(buffer.flushes, 4);
}

// The injector opened fully by hand on a standing engine: the boiler fills.
std::string overfilling(int simSpeedCode, const char* more) {
    return "set trackAutomatic 0\nset injectorAutomatic 0\nset injectorRate 127\nset simSpeedCode " +
           std::to_string(simSpeedCode) + "\n" + more +
           "print 10 simTime simSpeedCode boilerSteam.pressure boilerSteam.steamMass boilerSteam.temperature "
           "boilerSteam.volume boilerSteam.waterMass trueWaterDepth gaugeGlassLevel tankWater primingRate "
           "steamChest.waterMass\n";
}

// Every value finite; once the model runs (after the first row), the
// boiler's masses, volume and temperature in range.
void expectPhysical(const std::vector<std::map<std::string, double>>& rows) {
    for (const auto& row : rows) {
        for (const auto& [name, value] : row) ASSERT_TRUE(std::isfinite(value)) << name << " at " << row.at("simTime");
        if (&row == &rows.front()) continue;
        EXPECT_LE(row.at("boilerSteam.pressure"), 1500000.0) << row.at("simTime");
        EXPECT_GE(row.at("boilerSteam.volume"), 0.01) << row.at("simTime");  // the steam pocket
        EXPECT_GT(row.at("boilerSteam.steamMass"), 0.0) << row.at("simTime");
        EXPECT_GT(row.at("boilerSteam.temperature"), 273.0) << row.at("simTime");
    }
}

TEST(Scenario, AnOverfilledBoilerStaysInTheSafetyValvesBandAndStopsTheInjector) {
    for (int simSpeedCode : {0, 3}) {  // 1:1 and 10:1
        SCOPED_TRACE(simSpeedCode);
        const auto rows = rowsOf(run(overfilling(simSpeedCode, "run 3600\n")));
        ASSERT_FALSE(rows.empty());
        ASSERT_GE(rows.back().at("simTime"), 3600.0);
        EXPECT_EQ(rows.back().at("simSpeedCode"), simSpeedCode);
        expectPhysical(rows);
        // Full within the hour: the glass shows full and the tank stops draining.
        const auto full = std::find_if(rows.begin(), rows.end(),
                                       [](const auto& row) { return row.at("boilerSteam.volume") == 0.01; });
        ASSERT_NE(full, rows.end());
        EXPECT_LT(full->at("simTime"), 1800.0);
        EXPECT_LT(rows.back().at("gaugeGlassLevel"), 215.0);  // the glass's top fitting
        EXPECT_NEAR(rows.back().at("tankWater"), full->at("tankWater"), 1.0);
        EXPECT_LT(rows.back().at("tankWater"), 12000.0 - 127.0 * 20.0);
    }
}

TEST(Scenario, SteamDrawnFromAnOverfilledBoilerCarriesWaterOver) {
    const auto rows = rowsOf(run(overfilling(0, "at 1600 pilotValve 115\nrun 1630\n")));
    ASSERT_FALSE(rows.empty());
    expectPhysical(rows);
    double priming = 0.0;  // l/s, the most seen
    for (const auto& row : rows) {
        if (row.at("simTime") < 1600.0) {
            EXPECT_EQ(row.at("primingRate"), 0.0) << row.at("simTime");  // no steam drawn, none carried
        }
        priming = std::max(priming, row.at("primingRate"));
    }
    EXPECT_GT(priming, 0.0);
    EXPECT_GT(rows.back().at("steamChest.waterMass"), 1.0);  // kg
}

TEST(Scenario, SandSwitchedOnAndOffNeverTurnsTheWheelsWithTheRegulatorShut) {
    // A standing engine, regulator shut; Space pressed and released again and
    // again, so that now and then the sand stops during one of its dips.
    std::string text = "set trackAutomatic 0\n";
    for (int cycle = 0; cycle < 120; ++cycle) {
        const double on = 2.0 + cycle * 6.0;  // s
        text += "at " + std::to_string(on) + " sandingOn 1\nat " + std::to_string(on + 3.0 + cycle % 7 * 0.05) +
                " sandingOn 0\n";
    }
    text += "run 720\nprint 0.01 simTime wheelSpeed sandBonus sandingOn\n";
    int sandedTicks = 0;
    for (const auto& row : rowsOf(run(text))) {
        ASSERT_EQ(row.at("wheelSpeed"), 0.0) << row.at("simTime");
        ASSERT_GE(row.at("sandBonus"), 0.0) << row.at("simTime");
        sandedTicks += row.at("sandingOn") != 0.0;
    }
    EXPECT_GT(sandedTicks, 120 * 50);  // time for many dips
}

TEST(Scenario, TheAutomaticControlTakesItsSettingsAutoSandAmongThem) {
    const auto rows = rowsOf(run("set trackAutomatic 0\nset trainWeight 300\n"
                                 "set autoControl.controlOn 1\nset autoControl.speedMode 1\n"
                                 "set autoControl.targetSpeed 8\nset autoControl.targetPower 3\n"
                                 "set autoControl.autoSand 1\n"
                                 "run 60\nprint 10 simTime trainSpeed autoSanding\n"));
    EXPECT_EQ(rows.back().at("autoSanding"), 1.0);
    EXPECT_GT(rows.back().at("trainSpeed"), 2.0);
}

TEST(Scenario, TheEnginesFiguresAreColumnsInTheirUnitsAndOnlyWhileTheWheelsTurn) {
    const auto rows = rowsOf(
        run("set trainWeight 300\nset trackAutomatic 0\nset cylinderWallTemp 400\nset gradient 0\n"
            "at 2 reverser -160\nat 3 pilotValve 115\nat 60 reverser -60\nrun 90\n"
            "print 1 simTime wheelSpeed indicatedWork indicatedWork1 meanEffectivePressure1 indicatedPower "
            "rimPower cylinderSteamRate steamPerKWh steamMade\n"));
    ASSERT_EQ(rows.size(), 91u);
    // Standing: no figures, but the boiler works.
    EXPECT_EQ(rows[1].at("wheelSpeed"), 0.0);
    EXPECT_EQ(rows[1].at("indicatedPower"), 0.0);
    EXPECT_EQ(rows[1].at("steamPerKWh"), 0.0);
    EXPECT_GT(rows[1].at("steamMade"), 0.0);  // kg/s

    // Running at 30 %: J per revolution, Pa, W, kg/s and kg/kWh.
    const Row& r = rows.back();
    EXPECT_GT(r.at("indicatedWork"), 100000.0);
    EXPECT_NEAR(r.at("meanEffectivePressure1"), r.at("indicatedWork1") / 0.50028, 1.0);
    EXPECT_NEAR(r.at("indicatedPower"), r.at("indicatedWork") * r.at("wheelSpeed") / (2.0 * std::numbers::pi * 0.7),
                0.01 * r.at("indicatedPower"));
    EXPECT_LT(r.at("rimPower"), r.at("indicatedPower"));
    EXPECT_NEAR(r.at("steamPerKWh"), r.at("cylinderSteamRate") * 3.6e6 / r.at("indicatedPower"), 1e-6);
}

TEST(Scenario, EveryFieldHasOneName) {
    std::set<std::string> names;
    for (const FieldAccess& field : scenarioFields()) EXPECT_TRUE(names.insert(field.name).second) << field.name;
    EXPECT_TRUE(findField("boilerSteam.waterMass"));
    EXPECT_TRUE(findField("cylinder1SpaceA.pressure"));
    EXPECT_FALSE(findField("boilerSteam"));

    // Integer fields take a value as the record would: truncated, saturated.
    LocomotiveState block{};
    findField("regulator")->set(block, 300.7);
    EXPECT_EQ(block.regulator, 127);
    findField("reverser")->set(block, -80.9);
    EXPECT_EQ(block.reverser, -80);
    findField("drainCocksOpen")->set(block, 1.0);
    EXPECT_TRUE(block.drainCocksOpen);
}

}  // namespace
}  // namespace zt40
