#include "configuration.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cmath>
#include <fstream>
#include <numbers>
#include <random>

#include "config_fixtures.h"
#include "configuration_file.h"
#include "configuration_lock.h"
#include "number_text.h"

namespace zt40 {
namespace {

using testing::FreshRecord;

constexpr double valueTolerance = 1e-9;

// The record as the example header shows it.
void exampleValues(LocomotiveState& s) {
    s.cylinderWallTemp = 293.0;
    s.ambientTemp = 293;
    s.wheelAngle = std::numbers::pi / 2.0;
    s.tankWater = 12000.0;
    s.boilerSteam.pressure = 1350000.0;
    s.boilerSteam.waterMass = 8500.0;
    s.maxGradient = 40;
    s.frictionFactor = 0.25;
    s.boilerPower = 742500.0;
    s.superheaterPower = 8000000.0;
    s.trackAutomatic = s.injectorAutomatic = s.autoFiring = s.soundOn = s.regulatorHeavier = true;
    s.valveLead = 2.0;
    s.exhaustEnd = 86.0;
    s.expansionEnd = 91.0;
    s.blastPipeArea = 0.012;
    s.portArea = 0.01;
    s.waterQuality = 57;
    s.targetWaterLevel = 329;
    s.stepInterval = 0.014999999664723873;
}

// The example header, byte for byte: code page 1252, CR LF.
const char* const exampleHeader =
    "Zylindertemperatur  in \xb0" "C      : 20.000000\r\n"
    "Umgebungstemperatur in \xb0" "C      : 20\r\n"
    "Winkel des Rades    in Grad    : 90.000000\r\n"
    "vorhandenes Wasser  in Liter   : 12000.000000\r\n"
    "Druck im Kessel     in bar     : 13.500000\r\n"
    "Zuggewicht          in Tonnen  : 0\r\n"
    "Entfernung          in Meter   : 0.000000\r\n"
    "Simulationszeit     in Sekunden: 0.000000\r\n"
    "Wasser im Kessel    in Liter   : 8500.000000\r\n"
    "Maximale Steigung   in Promille: 40\r\n"
    "Reibfaktor                     : 0.250000\r\n"
    "virtuelle Kesselleistung in kW : 11000.000000\r\n"
    "virt. \xdc" "berhitzerleistung in kW : 8000.000000\r\n"
    "\r\n"
    "Streckenfunktion   (A/M): 1\r\n"
    "Entw\xe4" "sserung       (E/A): 0\r\n"
    "Injektor           (A/M): 1\r\n"
    "Feuerung           (A/M): 1\r\n"
    "Indikator          (J/N): 0\r\n"
    "Schrift ausblenden (J/N): 0\r\n"
    "Sound              (E/A): 1\r\n"
    "Regler leichter    (J/N): 0\r\n"
    "Regler schwerer    (J/N): 1\r\n"
    "\r\n"
    "komplette Voreilung in Grad        : 3.600000\r\n"
    "Ende Ausstr\xf6" "mung    in Grad        : 154.800000\r\n"
    "Ende Expansion      in Grad        : 163.800000\r\n"
    "Blasrohrquerschnitt virtueller Wert: 12.000000\r\n"
    "Kanal Schieberkasten -> Zylinder   : 10.000000\r\n"
    "Wasserqualit\xe4" "t in Prozent          : 57\r\n"
    "Angestr. Wasserst. im Kessel in mm : 125\r\n"
    "Zeit zwischen den Schritten  in ms : 15.000000\r\n"
    "\r\n"
    "Streckendaten:\r\n";

TEST(ConfigurationText, ExampleHeaderIsByteExact) {
    TrackAllocator allocator;
    FreshRecord record(allocator);
    exampleValues(*record.state);
    EXPECT_EQ(configurationText(*record.state), exampleHeader);
    EXPECT_NE(record.state->trackHead, nullptr);  // the list stays for another try
}

TEST(ConfigurationText, RoundTripKeepsFieldsAndTrack) {
    TrackAllocator allocator;
    FreshRecord original(allocator);
    LocomotiveState& s = *original.state;
    exampleValues(s);
    s.cylinderWallTemp = 412.25;
    s.distance = 123456.5;
    s.simTime = 987.125;
    s.trainWeight = 1200;
    s.drainCocksOpen = s.indicatorShown = s.textHidden = s.regulatorLighter = true;
    s.waterQuality = 80;
    s.maxGradient = 25;
    s.targetWaterLevel = 300;
    // A short profile read from rows.
    readConfiguration("Streckendaten:\r\n   100.0000;  0.250000;     5\r\n  2500.5000;  0.120000;   -12\r\n", s,
                      allocator);
    const std::string text = configurationText(s);

    FreshRecord copy(allocator);
    readConfiguration(text, *copy.state, allocator);
    const LocomotiveState& c = *copy.state;
    EXPECT_NEAR(c.cylinderWallTemp, 412.25, valueTolerance);
    EXPECT_EQ(c.ambientTemp, 293);
    EXPECT_NEAR(c.wheelAngle, std::numbers::pi / 2.0, 1e-6);  // six decimals of a degree
    EXPECT_NEAR(c.distance, 123456.5, valueTolerance);
    EXPECT_NEAR(c.simTime, 987.125, valueTolerance);
    EXPECT_EQ(c.trainWeight, 1200);
    EXPECT_NEAR(c.boilerSteam.pressure, 1350000.0, valueTolerance);
    EXPECT_NEAR(c.boilerSteam.waterMass, 8500.0, valueTolerance);
    EXPECT_EQ(c.maxGradient, 25);
    EXPECT_EQ(c.waterQuality, 80);
    EXPECT_EQ(c.targetWaterLevel, 300);
    EXPECT_NEAR(c.stepInterval, 0.015, 1e-9);
    EXPECT_NEAR(c.boilerPower, 742500.0, 1e-3);
    EXPECT_NEAR(c.blastPipeArea, 0.012, 1e-12);
    EXPECT_NEAR(c.exhaustEnd, 86.0, 1e-6);
    for (bool flag : {c.trackAutomatic, c.drainCocksOpen, c.injectorAutomatic, c.autoFiring, c.indicatorShown,
                      c.textHidden, c.soundOn, c.regulatorLighter, c.regulatorHeavier}) {
        EXPECT_TRUE(flag);
    }
    ASSERT_NE(c.trackHead, nullptr);
    EXPECT_EQ(c.trackHead->position, 100.0);
    EXPECT_EQ(c.trackHead->gradient, 5);
    ASSERT_NE(c.trackHead->next, c.trackTail);
    EXPECT_EQ(c.trackHead->next->position, 2500.5);
    EXPECT_FLOAT_EQ(c.trackHead->next->friction, 0.12f);
    EXPECT_EQ(c.trackHead->next->gradient, -12);
    EXPECT_EQ(c.trackHead->next->next, c.trackTail);
}

std::string contentsOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Code page 1252 text (Latin-1 letters only) as an editor re-saves it in UTF-8.
std::string toUtf8(std::string_view cp1252) {
    std::string text;
    for (char c : cp1252) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xc0 | (byte >> 6));
            text += static_cast<char>(0x80 | (byte & 0x3f));
        }
    }
    return text;
}

TEST(ConfigurationReader, AFileResavedAsUtf8ReadsAsTheOriginal) {
    TrackAllocator allocator;
    const std::string original = std::string(exampleHeader) + "  1000.0000;  0.250000;     3\r\n";
    FreshRecord reference(allocator);
    readConfiguration(original, *reference.state, allocator);
    for (const char* mark : {"\xef\xbb\xbf", ""}) {
        FreshRecord record(allocator);
        readConfiguration(mark + toUtf8(original), *record.state, allocator);
        EXPECT_EQ(configurationText(*record.state), configurationText(*reference.state)) << mark;
        EXPECT_EQ(record.state->superheaterPower, 8000000.0);
        EXPECT_EQ(record.state->ambientTemp, 293);
    }
}

// Reads `text` into a fresh record and validates it as loading does.
std::unique_ptr<LocomotiveState> loaded(const std::string& text, Random15& random, TrackAllocator& allocator) {
    auto state = std::make_unique<LocomotiveState>();
    constructSteamSpaces(*state);
    createFirstTrackPoint(*state, allocator);
    readConfiguration(text, *state, allocator);
    validateConfiguration(*state, true, random);
    freeTrackList(*state, allocator);
    return state;
}

// A header whose run state is plausible, so nothing is defaulted.
std::string validRunState() {
    return "Winkel des Rades    in Grad    : 90\r\n"
           "vorhandenes Wasser  in Liter   : 9000\r\n"
           "Druck im Kessel     in bar     : 12\r\n"
           "Wasser im Kessel    in Liter   : 8000\r\n"
           "Zeit zwischen den Schritten  in ms : 15\r\n";
}

TEST(ConfigurationReader, DecimalCommaAtoiAndTheSwitchRule) {
    TrackAllocator allocator;
    Random15 random(1);
    const auto s = loaded(validRunState() +
                              "Reibfaktor                     : 0,3\r\n"
                              "Zuggewicht          in Tonnen  : 1.500\r\n"
                              "Sound              (E/A): 0\r\n"
                              "Indikator          (J/N): 10\r\n"
                              "xx Regler leichter    (J/N): 1\r\n"  // stray text before a label is harmless
                              "Regler  schwerer    (J/N): 1\r\n",   // a changed blank count is not
                          random, allocator);
    EXPECT_FALSE(s->stateDefaulted);
    EXPECT_NEAR(s->frictionFactor, 0.3, valueTolerance);
    EXPECT_EQ(s->trainWeight, 1);
    EXPECT_FALSE(s->soundOn);
    EXPECT_TRUE(s->indicatorShown);
    EXPECT_TRUE(s->regulatorLighter);
    EXPECT_FALSE(s->regulatorHeavier);
    EXPECT_NEAR(s->tankWater, 9000.0, valueTolerance);
}

TEST(ConfigurationReader, LaterDuplicatesWinAndLfOnlyFilesKeepTheirValues) {
    TrackAllocator allocator;
    Random15 random(1);
    std::string text = validRunState() + "Zuggewicht          in Tonnen  : 100\r\n" +
                       "Zuggewicht          in Tonnen  : 250\r\n";
    EXPECT_EQ(loaded(text, random, allocator)->trainWeight, 250);

    // The same file saved by an editor that writes LF alone.
    std::string lfOnly;
    for (char c : text) {
        if (c != '\r') lfOnly += c;
    }
    const auto s = loaded(lfOnly, random, allocator);
    EXPECT_EQ(s->trainWeight, 250);
    EXPECT_NEAR(s->tankWater, 9000.0, valueTolerance);
    EXPECT_FALSE(s->stateDefaulted);
}

TEST(ConfigurationReader, OverlongLinesAreCutSafely) {
    TrackAllocator allocator;
    Random15 random(1);
    const std::string longLabel(5000, 'x');
    const std::string longValue(5000, '7');
    const auto s = loaded(longLabel + ":" + longValue + "\r\n" + validRunState() + "Reibfaktor                     : 0." +
                              std::string(400, '1') + "\r\nZuggewicht          in Tonnen  : " + longValue + "\r\n",
                          random, allocator);
    EXPECT_NEAR(s->frictionFactor, 0.1111111111, 1e-9);
    EXPECT_EQ(s->trainWeight, 0);  // 777... saturates beyond 5000 t and is defaulted
    EXPECT_FALSE(s->stateDefaulted);
}

TEST(Validation, AStepTimeOf200MsResetsSwitchesAndMachine) {
    TrackAllocator allocator;
    Random15 random(1);
    const auto s = loaded(
        "Winkel des Rades    in Grad    : 90\r\nvorhandenes Wasser  in Liter   : 9000\r\n"
        "Druck im Kessel     in bar     : 12\r\nWasser im Kessel    in Liter   : 8000\r\n"
        "Zeit zwischen den Schritten  in ms : 200\r\n"
        "Sound              (E/A): 0\r\nIndikator          (J/N): 1\r\nEntw\xe4sserung       (E/A): 1\r\n"
        "komplette Voreilung in Grad        : 9\r\nMaximale Steigung   in Promille: 70\r\n"
        "virt. \xdc" "berhitzerleistung in kW : 100\r\n",
        random, allocator);
    EXPECT_TRUE(s->stateDefaulted);
    EXPECT_NEAR(s->stepInterval, 0.015, valueTolerance);
    EXPECT_TRUE(s->soundOn);
    EXPECT_FALSE(s->indicatorShown);
    EXPECT_FALSE(s->drainCocksOpen);
    EXPECT_EQ(s->valveLead, 2.0);
    EXPECT_EQ(s->maxGradient, 40);
    EXPECT_EQ(s->superheaterPower, 8000000.0);
    EXPECT_GE(s->waterQuality, 0);
    EXPECT_LE(s->waterQuality, 100);
    EXPECT_NEAR(s->boilerSteam.pressure, 1200000.0, valueTolerance);  // the rest of the run state stays
}

TEST(Validation, AnAmbientOf40DegreesIsReplacedAndTheCylinderRaised) {
    TrackAllocator allocator;
    Random15 random(3);
    const auto s = loaded(validRunState() + "Umgebungstemperatur in \xb0" "C      : 40\r\n" +
                              "Zylindertemperatur  in \xb0" "C      : -20\r\n",
                          random, allocator);
    EXPECT_GE(s->ambientTemp, 253);
    EXPECT_LE(s->ambientTemp, 303);
    EXPECT_EQ(s->cylinderWallTemp, s->ambientTemp);
}

TEST(Validation, SuperheaterPowerZeroIsKeptAsATinyDivisorAndWrittenAsZero) {
    TrackAllocator allocator;
    Random15 random(1);
    auto s = loaded(validRunState() + "virt. \xdc" "berhitzerleistung in kW : 0\r\n", random, allocator);
    EXPECT_EQ(s->superheaterPower, 1e-99);
    const std::string text = configurationText(*s);
    EXPECT_NE(text.find("berhitzerleistung in kW : 0.000000\r\n\r\n"), std::string::npos);
}

TEST(Validation, ValuesBeyondAnyRunTakeTheirDefaults) {
    TrackAllocator allocator;
    Random15 random(1);
    for (const char* huge : {"1e12", "1e300"}) {
        const std::string value = std::string(" ") + huge + "\r\n";
        auto s = loaded(validRunState() + "Entfernung          in Meter   :" + value +
                            "Simulationszeit     in Sekunden:" + value +
                            "Blasrohrquerschnitt virtueller Wert:" + value +
                            "Kanal Schieberkasten -> Zylinder   :" + value,
                        random, allocator);
        EXPECT_EQ(s->distance, 0.0) << huge;
        EXPECT_EQ(s->simTime, 0.0) << huge;
        EXPECT_EQ(s->blastPipeArea, 0.012) << huge;
        EXPECT_EQ(s->portArea, 0.01) << huge;
        EXPECT_TRUE(s->stateDefaulted) << huge;
    }
    auto s = loaded(validRunState() + "Entfernung          in Meter   : -99999999\r\n"
                                      "Kanal Schieberkasten -> Zylinder   : 100\r\n",
                    random, allocator);
    EXPECT_EQ(s->distance, -99999999.0);
    EXPECT_EQ(s->portArea, 0.1);
    EXPECT_FALSE(s->stateDefaulted);
}

TEST(Validation, WithoutRunStateCheckOnlyMachineValues) {
    Random15 random(1);
    auto s = std::make_unique<LocomotiveState>();
    s->wheelAngle = 0.0;      // would be redrawn with the run-state check
    s->stepInterval = 0.5;    // likewise
    s->frictionFactor = 0.9;  // implausible machine value
    validateConfiguration(*s, false, random);
    EXPECT_EQ(s->wheelAngle, 0.0);
    EXPECT_EQ(s->stepInterval, 0.5);
    EXPECT_EQ(s->frictionFactor, 0.25);
    EXPECT_FALSE(s->stateDefaulted);
}

TEST(Validation, DefaultsDrawTheirRandomNumbersInOrder) {
    // Wheel angle, then water quality, then ambient temperature.
    Random15 reference(99);
    const double angle = reference.next() / 5215.03;
    const int quality = static_cast<int>(reference.next() / 327.67);
    const int ambient = static_cast<int>(reference.next() / 655.34 + 253.0);
    Random15 random(99);
    auto s = std::make_unique<LocomotiveState>();
    validateConfiguration(*s, true, random);
    EXPECT_EQ(s->wheelAngle, angle);
    EXPECT_EQ(s->waterQuality, quality);
    EXPECT_EQ(s->ambientTemp, ambient);
    EXPECT_TRUE(s->stateDefaulted);
    EXPECT_EQ(s->tankWater, 12000.0);
    EXPECT_EQ(s->boilerSteam.pressure, 1350000.0);
    EXPECT_EQ(s->boilerSteam.waterMass, 8500.0);
    EXPECT_EQ(s->targetWaterLevel, 329);
    EXPECT_EQ(s->boilerPower, 742500.0);
}

TEST(FreshStart, KeepsMachineAndSwitchesStartsANewRun) {
    Random15 random(7);
    auto s = std::make_unique<LocomotiveState>();
    s->portArea = 0.02;
    s->soundOn = true;
    s->distance = 5000.0;
    s->trainWeight = 700;
    s->boilerSteam.waterMass = 7000.0;
    applyFreshStart(*s, random);
    EXPECT_EQ(s->portArea, 0.02);
    EXPECT_TRUE(s->soundOn);
    EXPECT_EQ(s->distance, 0.0);
    EXPECT_EQ(s->trainWeight, 0);
    EXPECT_EQ(s->boilerSteam.waterMass, 8500.0);
    EXPECT_EQ(s->cylinderWallTemp, s->ambientTemp);
    EXPECT_GE(s->ambientTemp, 253);
    EXPECT_LE(s->ambientTemp, 303);
    EXPECT_LT(s->wheelAngle, 2.0 * std::numbers::pi);
}

TEST(FreshStart, EveryDrawnWheelAngleIsAcceptedByTheNextStart) {
    // The seeds whose first draw is the generator's lowest and its highest value.
    std::vector<std::uint32_t> seeds;
    for (std::uint32_t seed = 0; seeds.size() < 2; ++seed) {
        const int first = Random15(seed).next();
        if (first == (seeds.empty() ? 0 : Random15::max)) seeds.push_back(seed);
    }
    TrackAllocator allocator;
    for (const std::uint32_t seed : seeds) {
        Random15 random(seed);
        FreshRecord drive(allocator);
        validateConfiguration(*drive.state, true, random);
        drive.state->stateDefaulted = false;
        random.seed(seed);
        applyFreshStart(*drive.state, random);  // the "No" at the start draws the same way
        Random15 next(1);
        const auto reloaded = loaded(configurationText(*drive.state), next, allocator);
        EXPECT_FALSE(reloaded->stateDefaulted) << seed;
        EXPECT_NEAR(reloaded->wheelAngle, drive.state->wheelAngle, 1e-7) << seed;
    }
}

TEST(ConfigurationReader, ArbitraryBytesStayWithinTheValidatedRanges) {
    std::mt19937 bytes(20261208);
    Random15 random(5);
    TrackAllocator allocator;
    const std::string labels[] = {"Reibfaktor                     :", "Zuggewicht          in Tonnen  :",
                                  "Streckendaten:", "Zeit zwischen den Schritten  in ms :", ";", ",", ".", "\r\n",
                                  "\n", "1", "-", "e999", "nan"};
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int pieces = static_cast<int>(bytes() % 60);
        for (int i = 0; i < pieces; ++i) {
            if (bytes() % 3 == 0) text += labels[bytes() % std::size(labels)];
            else text += static_cast<char>(bytes() % 256);
        }
        const auto s = loaded(text, random, allocator);
        ASSERT_TRUE(s->frictionFactor > 0.0 && s->frictionFactor <= 0.4) << round << ": " << s->frictionFactor;
        ASSERT_TRUE(s->stepInterval >= 0.01 && s->stepInterval <= 0.1) << round;
        ASSERT_TRUE(s->trainWeight >= 0 && s->trainWeight <= 5000) << round;
        ASSERT_TRUE(s->ambientTemp >= 253 && s->ambientTemp <= 303) << round;
        ASSERT_TRUE(s->cylinderWallTemp >= s->ambientTemp && s->cylinderWallTemp <= 800.0) << round << ": " << s->cylinderWallTemp;
        ASSERT_TRUE(s->tankWater > 0.0 && s->tankWater <= 12000.0) << round;
        ASSERT_TRUE(s->waterQuality >= 0 && s->waterQuality <= 100) << round;
        ASSERT_TRUE(s->maxGradient >= 0 && s->maxGradient <= 100) << round;
        ASSERT_TRUE(std::isfinite(s->distance) && std::isfinite(s->simTime) && s->simTime >= 0.0) << round;
        ASSERT_TRUE(s->wheelAngle >= 0.00001 && s->wheelAngle <= 2.0 * std::numbers::pi) << round << ": " << s->wheelAngle;
    }
}

TEST(NumberText, AtofAndAtoiSemanticsWithoutLocale) {
    EXPECT_EQ(parseDecimal("  12.5kg"), 12.5);
    EXPECT_EQ(parseDecimal("-.5"), -0.5);
    EXPECT_EQ(parseDecimal("1e3"), 1000.0);
    EXPECT_EQ(parseDecimal("abc"), 0.0);
    EXPECT_EQ(parseDecimal("inf"), 0.0);
    EXPECT_EQ(parseDecimal("1e999"), 0.0);
    EXPECT_EQ(parseInteger(" -42x"), -42);
    EXPECT_EQ(parseInteger("99999999999"), 2147483647);
    EXPECT_EQ(formatFixed(1234.5, 4, 13), "    1234.5000");
    EXPECT_EQ(formatFixed(-0.25, 6), "-0.250000");
    std::string text = "1.5,3";
    acceptDecimalComma(text);
    EXPECT_EQ(text, "1.5,3");
    text = "1,5.3";
    acceptDecimalComma(text);
    EXPECT_EQ(text, "1.5.3");
}

TEST(ConfigurationFile, MissingOrEmptyFileGivesDefaultsSavingWritesIt) {
    testing::TemporaryDirectory directory;
    const auto file = directory.path() / configurationFileName;
    TrackAllocator allocator;
    Random15 random(11);
    for (bool empty : {false, true}) {
        if (empty) std::ofstream(file, std::ios::binary).flush();
        FreshRecord record(allocator);
        loadConfiguration(file, *record.state, random, allocator);
        EXPECT_TRUE(record.state->stateDefaulted);
        EXPECT_EQ(record.state->stepInterval, 0.015);
        EXPECT_EQ(record.state->boilerSteam.pressure, 1350000.0);
    }
    FreshRecord record(allocator);
    loadConfiguration(file, *record.state, random, allocator);
    ensureDefaultTrackPoint(*record.state, allocator);
    EXPECT_EQ(saveConfiguration(file, *record.state), SaveResult::saved);
    FreshRecord again(allocator);
    loadConfiguration(file, *again.state, random, allocator);
    EXPECT_FALSE(again.state->stateDefaulted);  // now the run state is plausible
    EXPECT_EQ(again.state->waterQuality, record.state->waterQuality);
    ASSERT_NE(again.state->trackHead, again.state->trackTail);
    EXPECT_FLOAT_EQ(again.state->trackHead->friction, 0.25f);
}

// Runs `work` in a child process whose files may not grow beyond `bytes`,
// as on a full disk; returns its exit code, or -1.
template <class Work>
int exitCodeWithRoomFor(rlim_t bytes, Work work) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit fails instead of ending the child
        const rlimit limit{bytes, bytes};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) std::_Exit(255);
        std::_Exit(work());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

TEST(ConfigurationFile, AFullDiskNeverCostsTheOldFile) {
    namespace fs = std::filesystem;
    testing::TemporaryDirectory directory;
    TrackAllocator allocator;
    FreshRecord record(allocator);
    std::string rows;
    for (int i = 0; i < 100; ++i) rows += std::to_string(i * 100) + ";0.25;1\r\n";
    readConfiguration("Streckendaten:\r\n" + rows, *record.state, allocator);
    const std::string text = configurationText(*record.state);
    const std::string old = "Zuggewicht          in Tonnen  : 700\r\n";
    const rlim_t room = text.size() / 2;  // bytes

    // The temporary file cannot take the text: the old file stays, the reason is named.
    const fs::path file = directory.path() / configurationFileName;
    std::ofstream(file, std::ios::binary) << old;
    EXPECT_EQ(exitCodeWithRoomFor(room, [&] {
                  const SaveReport report = saveConfiguration(file, *record.state);
                  return report == SaveResult::failed && report.reason.find("größer") != std::string::npos ? 0 : 1;
              }),
              0);
    EXPECT_EQ(contentsOf(file), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(directory.path()), fs::directory_iterator()), 1);

    // A folder that takes no new file, where the file is rewritten in place.
    const fs::path closed = directory.path() / "closed";
    fs::create_directory(closed);
    std::ofstream(closed / configurationFileName, std::ios::binary) << old;
    fs::permissions(closed / configurationFileName, fs::perms::all);
    fs::permissions(closed, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                fs::perms::others_exec);
    const int code = testing::exitCodeAsUnprivilegedUser([&] {
        return exitCodeWithRoomFor(room, [&] {
            return writeFileReplacing(closed / configurationFileName, text) == SaveResult::failed ? 0 : 1;
        });
    });
    fs::permissions(closed, fs::perms::all);
    if (code < 0) GTEST_SKIP() << "no unprivileged user to try a closed folder with";
    EXPECT_EQ(code, 0);
    EXPECT_EQ(contentsOf(closed / configurationFileName), old);

    // The track list is still there: with room the save succeeds.
    EXPECT_EQ(saveConfiguration(file, *record.state), SaveResult::saved);
    EXPECT_EQ(contentsOf(file), text);
}

TEST(ConfigurationFile, TwoProgramsSavingAtOnceNeverMixTheirTexts) {
    testing::TemporaryDirectory directory;
    const auto file = directory.path() / configurationFileName;
    // Long enough that one save is still writing while the other renames.
    const std::string texts[] = {std::string(300000, 'a') + "\r\n", std::string(200000, 'b') + "\r\n"};
    std::vector<pid_t> writers;
    for (const std::string& text : texts) {
        const pid_t child = ::fork();
        if (child == 0) {
            bool allSaved = true;
            for (int i = 0; i < 40; ++i) allSaved = writeFileReplacing(file, text) == SaveResult::saved && allSaved;
            std::_Exit(allSaved ? 0 : 1);
        }
        writers.push_back(child);
    }
    for (const pid_t writer : writers) {
        int status = 0;
        ASSERT_EQ(::waitpid(writer, &status, 0), writer);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::string result = contentsOf(file);
    EXPECT_TRUE(result == texts[0] || result == texts[1]) << result.size() << " bytes";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory.path()),
                            std::filesystem::directory_iterator()),
              1);  // no temporary file left
}

TEST(ConfigurationFile, ASaveRemovesTheTemporaryFilesOfInterruptedSavesOnly) {
    namespace fs = std::filesystem;
    testing::TemporaryDirectory directory;
    const fs::path file = directory.path() / configurationFileName;
    const auto beside = [&](const char* suffix) { return directory.path() / (std::string(configurationFileName) + suffix); };
    const fs::path stale[] = {beside(".tmp"), beside(".0badcafe.tmp")};
    const fs::path kept[] = {beside(".1234abcd.tmp"), beside(".notes.tmp"), directory.path() / "other.cfg.0badcafe.tmp"};
    for (const fs::path& path : stale) std::ofstream(path) << "half a save";
    for (const fs::path& path : kept) std::ofstream(path) << "in use or not ours";
    // A save in progress holds its temporary file locked.
    const int inUse = ::open(kept[0].c_str(), O_RDONLY);
    ASSERT_GE(inUse, 0);
    ASSERT_EQ(::flock(inUse, LOCK_EX), 0);
    EXPECT_EQ(writeFileReplacing(file, "new"), SaveResult::saved);
    ::close(inUse);
    for (const fs::path& path : stale) EXPECT_FALSE(fs::exists(path)) << path;
    for (const fs::path& path : kept) EXPECT_TRUE(fs::exists(path)) << path;
    EXPECT_EQ(contentsOf(file), "new");
}

TEST(ConfigurationFile, ASecondProgramFindsTheConfigurationLocked) {
    testing::TemporaryDirectory directory;
    const auto file = directory.path() / configurationFileName;
    // Two holders in one process, as two programs would be.
    {
        ConfigurationLock first(file);
        ConfigurationLock second(file);
        EXPECT_EQ(first.outcome(), ConfigurationLock::Outcome::held);
        EXPECT_EQ(second.outcome(), ConfigurationLock::Outcome::heldElsewhere);
    }
    // A real second process, and the lock free again once it has ended.
    int ready[2];
    int finish[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(finish), 0);
    const pid_t other = ::fork();
    if (other == 0) {
        ConfigurationLock held(file);
        const char got = held.outcome() == ConfigurationLock::Outcome::held ? 'y' : 'n';
        (void)!::write(ready[1], &got, 1);
        char end = 0;
        (void)!::read(finish[0], &end, 1);
        std::_Exit(0);
    }
    char got = 0;
    ASSERT_EQ(::read(ready[0], &got, 1), 1);
    EXPECT_EQ(got, 'y');
    EXPECT_EQ(ConfigurationLock(file).outcome(), ConfigurationLock::Outcome::heldElsewhere);
    (void)!::write(finish[1], "x", 1);
    int status = 0;
    ASSERT_EQ(::waitpid(other, &status, 0), other);
    EXPECT_EQ(ConfigurationLock(file).outcome(), ConfigurationLock::Outcome::held);
    for (int fd : {ready[0], ready[1], finish[0], finish[1]}) ::close(fd);
}

TEST(ConfigurationFile, ASaveKeepsTheModeAndWritesThroughALink) {
    namespace fs = std::filesystem;
    testing::TemporaryDirectory directory;
    TrackAllocator allocator;
    FreshRecord record(allocator);
    ensureDefaultTrackPoint(*record.state, allocator);

    // A read-only file stays read-only.
    const fs::path readOnly = directory.path() / "read-only.cfg";
    std::ofstream(readOnly) << "old";
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(saveConfiguration(readOnly, *record.state), SaveResult::saved);
    EXPECT_EQ(fs::status(readOnly).permissions() & fs::perms::mask,
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(contentsOf(readOnly), configurationText(*record.state));

    // A link stays a link, and its target gets the text.
    fs::create_directory(directory.path() / "elsewhere");
    const fs::path target = directory.path() / "elsewhere" / "real.cfg";
    std::ofstream(target) << "old";
    const fs::path link = directory.path() / configurationFileName;
    fs::create_symlink(fs::path("elsewhere") / "real.cfg", link);
    EXPECT_EQ(saveConfiguration(link, *record.state), SaveResult::saved);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(contentsOf(target), configurationText(*record.state));
    EXPECT_EQ(std::distance(fs::directory_iterator(directory.path() / "elsewhere"), fs::directory_iterator()),
              1);  // the target alone, no temporary file beside it

    // A folder that takes no new file: the file itself is rewritten.
    const fs::path closed = directory.path() / "closed";
    fs::create_directory(closed);
    std::ofstream(closed / configurationFileName) << "old";
    fs::permissions(closed / configurationFileName, fs::perms::all);
    fs::permissions(closed, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                fs::perms::others_exec);
    const std::string text = configurationText(*record.state);
    const int code = testing::exitCodeAsUnprivilegedUser(
        [&] { return writeFileReplacing(closed / configurationFileName, text) == SaveResult::saved ? 0 : 1; });
    fs::permissions(closed, fs::perms::all);
    if (code < 0) GTEST_SKIP() << "no unprivileged user to try a closed folder with";
    EXPECT_EQ(code, 0);
    EXPECT_EQ(contentsOf(closed / configurationFileName), text);
}

}  // namespace
}  // namespace zt40
