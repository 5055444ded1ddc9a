#include "configuration.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "cab_controls.h"
#include "cp1252.h"
#include "number_text.h"
#include "numeric.h"
#include "track_list.h"

namespace zt40 {

namespace {

using std::numbers::pi;

// What a header line holds and how its value converts.
enum class Format { decimal, integer };

struct HeaderLine {
    const char* label;     // UTF-8; code page 1252 in the file
    Format format;
    const char* ending;    // after the value
    double (*write)(const LocomotiveState&);
    void (*read)(LocomotiveState&, std::string_view value);
};

double decimal(std::string_view v) { return parseDecimal(v); }
int integer(std::string_view v) { return parseInteger(v); }
// A switch is on when its value holds a "1" anywhere; else it stays as it was.
void readSwitch(bool& field, std::string_view v) {
    if (v.find('1') != std::string_view::npos) field = true;
}

const HeaderLine headerLines[] = {
    {"Zylindertemperatur  in °C      :", Format::decimal, "\r\n",
     [](const LocomotiveState& s) { return s.cylinderWallTemp - 273.0; },
     [](LocomotiveState& s, std::string_view v) { s.cylinderWallTemp = decimal(v) + 273.0; }},
    {"Umgebungstemperatur in °C      :", Format::integer, "\r\n",
     [](const LocomotiveState& s) { return s.ambientTemp - 273.0; },
     [](LocomotiveState& s, std::string_view v) { s.ambientTemp = truncateTo<std::int32_t>(integer(v) + 273.0); }},
    {"Winkel des Rades    in Grad    :", Format::decimal, "\r\n",
     [](const LocomotiveState& s) { return s.wheelAngle * 180.0 / pi; },
     [](LocomotiveState& s, std::string_view v) { s.wheelAngle = decimal(v) * pi / 180.0; }},
    {"vorhandenes Wasser  in Liter   :", Format::decimal, "\r\n", [](const LocomotiveState& s) { return s.tankWater; },
     [](LocomotiveState& s, std::string_view v) { s.tankWater = decimal(v); }},
    {"Druck im Kessel     in bar     :", Format::decimal, "\r\n",
     [](const LocomotiveState& s) { return s.boilerSteam.pressure / 100000.0; },
     [](LocomotiveState& s, std::string_view v) { s.boilerSteam.pressure = decimal(v) * 100000.0; }},
    {"Zuggewicht          in Tonnen  :", Format::integer, "\r\n",
     [](const LocomotiveState& s) { return double(s.trainWeight); },
     [](LocomotiveState& s, std::string_view v) { s.trainWeight = integer(v); }},
    {"Entfernung          in Meter   :", Format::decimal, "\r\n", [](const LocomotiveState& s) { return s.distance; },
     [](LocomotiveState& s, std::string_view v) { s.distance = decimal(v); }},
    {"Simulationszeit     in Sekunden:", Format::decimal, "\r\n", [](const LocomotiveState& s) { return s.simTime; },
     [](LocomotiveState& s, std::string_view v) { s.simTime = decimal(v); }},
    {"Wasser im Kessel    in Liter   :", Format::decimal, "\r\n",
     [](const LocomotiveState& s) { return s.boilerSteam.waterMass; },
     [](LocomotiveState& s, std::string_view v) { s.boilerSteam.waterMass = decimal(v); }},
    {"Maximale Steigung   in Promille:", Format::integer, "\r\n",
     [](const LocomotiveState& s) { return double(s.maxGradient); },
     [](LocomotiveState& s, std::string_view v) { s.maxGradient = lowByteOf(integer(v)); }},
    {"Reibfaktor                     :", Format::decimal, "\r\n",
     [](const LocomotiveState& s) { return s.frictionFactor; },
     [](LocomotiveState& s, std::string_view v) { s.frictionFactor = decimal(v); }},
    {"virtuelle Kesselleistung in kW :", Format::decimal, "\r\n",
     [](const LocomotiveState& s) { return s.boilerPower / 67.5; },
     [](LocomotiveState& s, std::string_view v) { s.boilerPower = decimal(v) * 67.5; }},
    {"virt. Überhitzerleistung in kW :", Format::decimal, "\r\n\r\n",
     [](const LocomotiveState& s) { return s.superheaterPower / 1000.0; },
     [](LocomotiveState& s, std::string_view v) { s.superheaterPower = decimal(v) * 1000.0; }},
    {"Streckenfunktion   (A/M):", Format::integer, "\r\n",
     [](const LocomotiveState& s) { return double(s.trackAutomatic); },
     [](LocomotiveState& s, std::string_view v) { readSwitch(s.trackAutomatic, v); }},
    {"Entwässerung       (E/A):", Format::integer, "\r\n",
     [](const LocomotiveState& s) { return double(s.drainCocksOpen); },
     [](LocomotiveState& s, std::string_view v) { readSwitch(s.drainCocksOpen, v); }},
    {"Injektor           (A/M):", Format::integer, "\r\n",
     [](const LocomotiveState& s) { return double(s.injectorAutomatic); },
     [](LocomotiveState& s, std::string_view v) { readSwitch(s.injectorAutomatic, v); }},
    {"Feuerung           (A/M):", Format::integer, "\r\n",
     [](const LocomotiveState& s) { return double(s.autoFiring); },
     [](LocomotiveState& s, std::string_view v) { readSwitch(s.autoFiring, v); }},
    {"Indikator          (J/N):", Format::integer, "\r\n",
     [](const LocomotiveState& s) { return double(s.indicatorShown); },
     [](LocomotiveState& s, std::string_view v) { readSwitch(s.indicatorShown, v); }},
    {"Schrift ausblenden (J/N):", Format::integer, "\r\n",
     [](const LocomotiveState& s) { return double(s.textHidden); },
     [](LocomotiveState& s, std::string_view v) { readSwitch(s.textHidden, v); }},
    {"Sound              (E/A):", Format::integer, "\r\n",
     [](const LocomotiveState& s) { return double(s.soundOn); },
     [](LocomotiveState& s, std::string_view v) { readSwitch(s.soundOn, v); }},
    {"Regler leichter    (J/N):", Format::integer, "\r\n",
     [](const LocomotiveState& s) { return double(s.regulatorLighter); },
     [](LocomotiveState& s, std::string_view v) { readSwitch(s.regulatorLighter, v); }},
    {"Regler schwerer    (J/N):", Format::integer, "\r\n\r\n",
     [](const LocomotiveState& s) { return double(s.regulatorHeavier); },
     [](LocomotiveState& s, std::string_view v) { readSwitch(s.regulatorHeavier, v); }},
    {"komplette Voreilung in Grad        :", Format::decimal, "\r\n",
     [](const LocomotiveState& s) { return s.valveLead * 1.8; },
     [](LocomotiveState& s, std::string_view v) { s.valveLead = decimal(v) * 10.0 / 18.0; }},
    {"Ende Ausströmung    in Grad        :", Format::decimal, "\r\n",
     [](const LocomotiveState& s) { return s.exhaustEnd * 1.8; },
     [](LocomotiveState& s, std::string_view v) { s.exhaustEnd = decimal(v) * 10.0 / 18.0; }},
    {"Ende Expansion      in Grad        :", Format::decimal, "\r\n",
     [](const LocomotiveState& s) { return s.expansionEnd * 1.8; },
     [](LocomotiveState& s, std::string_view v) { s.expansionEnd = decimal(v) * 10.0 / 18.0; }},
    {"Blasrohrquerschnitt virtueller Wert:", Format::decimal, "\r\n",
     [](const LocomotiveState& s) { return s.blastPipeArea * 1000.0; },
     [](LocomotiveState& s, std::string_view v) { s.blastPipeArea = decimal(v) / 1000.0; }},
    {"Kanal Schieberkasten -> Zylinder   :", Format::decimal, "\r\n",
     [](const LocomotiveState& s) { return s.portArea * 1000.0; },
     [](LocomotiveState& s, std::string_view v) { s.portArea = decimal(v) / 1000.0; }},
    {"Wasserqualität in Prozent          :", Format::integer, "\r\n",
     [](const LocomotiveState& s) { return double(s.waterQuality); },
     [](LocomotiveState& s, std::string_view v) { s.waterQuality = lowByteOf(integer(v)); }},
    {"Angestr. Wasserst. im Kessel in mm :", Format::integer, "\r\n",
     [](const LocomotiveState& s) { return 454.0 - s.targetWaterLevel; },
     [](LocomotiveState& s, std::string_view v) { s.targetWaterLevel = truncateTo<std::int32_t>(454.0 - integer(v)); }},
    {"Zeit zwischen den Schritten  in ms :", Format::decimal, "\r\n",
     [](const LocomotiveState& s) { return s.stepInterval * 1000.0; },
     [](LocomotiveState& s, std::string_view v) { s.stepInterval = decimal(v) / 1000.0; }},
};

const std::string trackSectionLabel = "Streckendaten:";
constexpr std::size_t bufferLimit = 259;  // characters a label, value or segment keeps

constexpr std::string_view utf8ByteOrderMark = "\xef\xbb\xbf";

// Labels as the file holds them, converted once.
const std::vector<std::string>& fileLabels() {
    static const std::vector<std::string> labels = [] {
        std::vector<std::string> converted;
        for (const HeaderLine& line : headerLines) converted.push_back(toCp1252(line.label));
        return converted;
    }();
    return labels;
}

// A label is found in either encoding: as written, or re-saved as UTF-8.
bool holdsLabel(std::string_view buffer, std::size_t line) {
    return buffer.find(fileLabels()[line]) != std::string_view::npos ||
           buffer.find(headerLines[line].label) != std::string_view::npos;
}

// Appends a byte to a bounded text buffer; what does not fit is cut off.
void appendBounded(std::string& buffer, char byte) {
    if (buffer.size() < bufferLimit) buffer += byte;
}

// The header reader: segments, labels and values line by line.
class HeaderReader {
public:
    // One byte of the header; true when the track section begins.
    bool feed(LocomotiveState& state, char byte, bool lastByte) {
        const bool loneLf = byte == '\n' && !afterCr_;
        afterCr_ = byte == '\r';
        appendBounded(segment_, byte);
        if (byte == ':') {
            label_ = segment_;
            segment_.clear();
        }
        if (byte != '\r' && !loneLf && !lastByte) return false;
        return completeLine(state);
    }

private:
    bool completeLine(LocomotiveState& state) {
        std::string value = segment_;
        segment_.clear();
        acceptDecimalComma(value);
        bool trackSection = false;
        for (std::size_t i = 0; i < std::size(headerLines); ++i) {
            if (holdsLabel(label_, i)) headerLines[i].read(state, value);
        }
        if (label_.find(trackSectionLabel) != std::string::npos) trackSection = true;
        label_.clear();
        return trackSection;
    }

    std::string segment_;
    std::string label_;
    bool afterCr_ = false;
};

std::string formatHeaderValue(const HeaderLine& line, const LocomotiveState& state) {
    const double value = line.write(state);
    if (line.format == Format::integer) return std::to_string(truncateTo<int>(value));
    return formatFixed(value, 6);
}

}  // namespace

void readConfiguration(std::string_view bytes, LocomotiveState& state, TrackAllocator& allocator) {
    if (state.trackListFailed) return;  // no first track point: only the defaults count
    HeaderReader header;
    TrackRowParser rows;
    bool trackSection = false;
    // An editor that saved the file as UTF-8 may have put a byte-order mark first.
    if (bytes.starts_with(utf8ByteOrderMark)) bytes.remove_prefix(utf8ByteOrderMark.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const bool lastByte = i + 1 == bytes.size();
        if (trackSection) rows.feed(bytes[i], lastByte);
        else trackSection = header.feed(state, bytes[i], lastByte);
    }
    rows.finish(state, allocator);
}

std::string configurationText(const LocomotiveState& state) {
    std::string text;
    for (const HeaderLine& line : headerLines) {
        text += toCp1252(line.label);
        text += ' ';
        text += formatHeaderValue(line, state);
        text += line.ending;
    }
    text += "\r\n" + trackSectionLabel + "\r\n";
    text += trackRowsText(state);
    return text;
}

namespace {

// True also for a NaN, which no comparison lets through.
bool outside(double value, double low, double high) { return !(value >= low && value <= high); }

// Beyond these the model and the track walk stop making sense: a position
// or a clock where adding a step no longer changes the number, a line the
// walk would take hours to build, nozzles that burst a cylinder cover.
constexpr double maxDistance = 1e8;        // m, 100 000 km either way
constexpr double maxSimTime = 1e8;         // s, about three years
constexpr double maxBlastPipeArea = 0.1;   // m², 100 in the file; 0.012 by default
constexpr double maxPortArea = 0.1;        // m², 100 in the file; 0.01 by default

// The wheel angles a start accepts from the file, rad.
constexpr double minWheelAngle = 0.00001;
constexpr double maxWheelAngle = 6.283185307179586;

// A drawn angle within what the next start accepts: the draw's own ends, 0
// and a hair beyond 2π, would mark the saved drive as implausible.
double randomWheelAngle(Random15& random) {
    return std::clamp(random.next() / 5215.03, minWheelAngle, maxWheelAngle);  // rad
}
std::int32_t randomAmbient(Random15& random) { return truncateTo<std::int32_t>(random.next() / 655.34 + 253.0); }  // K
std::int8_t randomWaterQuality(Random15& random) { return truncateTo<std::int8_t>(random.next() / 327.67); }   // %

// The state of the run; every replacement but the boiler water marks the
// state as defaulted, and then the switches and machine settings reset too.
void validateRunState(LocomotiveState& s, Random15& random) {
    if (outside(s.wheelAngle, minWheelAngle, maxWheelAngle) || s.stateDefaulted) {
        s.wheelAngle = randomWheelAngle(random);
        s.stateDefaulted = true;
    }
    auto replace = [&s](bool implausible, auto& field, auto value) {
        if (!implausible) return;
        field = value;
        s.stateDefaulted = true;
    };
    replace(outside(s.tankWater, 0.00001, cab::tankCapacity), s.tankWater, cab::tankCapacity);
    replace(outside(s.boilerSteam.pressure, 0.00001, 1600000.0), s.boilerSteam.pressure, 1350000.0);
    replace(outside(s.distance, -maxDistance, maxDistance), s.distance, 0.0);
    replace(outside(s.simTime, 0.0, maxSimTime), s.simTime, 0.0);
    if (outside(s.boilerSteam.waterMass, 6000.0, 11000.0)) s.boilerSteam.waterMass = 8500.0;
    replace(outside(s.stepInterval, 0.01, 0.1), s.stepInterval, 0.015);
    if (!s.stateDefaulted) return;
    s.drainCocksOpen = false;
    s.valveLead = 2.0;
    s.injectorAutomatic = true;
    s.autoFiring = true;
    s.exhaustEnd = 86.0;
    s.indicatorShown = false;
    s.textHidden = false;
    s.expansionEnd = 91.0;
    s.soundOn = true;
    s.trackAutomatic = true;
    s.regulatorLighter = false;
    s.regulatorHeavier = true;
    s.maxGradient = 40;
    s.waterQuality = randomWaterQuality(random);
    s.superheaterPower = 8000000.0;
}

}  // namespace

void validateConfiguration(LocomotiveState& s, bool checkRunState, Random15& random) {
    if (checkRunState) validateRunState(s, random);
    if (outside(s.targetWaterLevel, 154, 455)) s.targetWaterLevel = 329;
    if (outside(s.ambientTemp, 253, 303)) s.ambientTemp = randomAmbient(random);
    if (outside(s.cylinderWallTemp, s.ambientTemp, 800.0)) s.cylinderWallTemp = s.ambientTemp;
    if (outside(s.trainWeight, 0, 5000)) s.trainWeight = 0;
    if (outside(s.blastPipeArea, 0.00001, maxBlastPipeArea)) s.blastPipeArea = 0.012;
    if (outside(s.portArea, 0.00001, maxPortArea)) s.portArea = 0.01;
    if (outside(s.valveLead, -150, 150)) s.valveLead = 2.0;
    if (outside(s.exhaustEnd, -150, 150)) s.exhaustEnd = 86.0;
    if (outside(s.expansionEnd, -150, 150)) s.expansionEnd = 91.0;
    if (outside(s.waterQuality, 0, 100)) s.waterQuality = 100;
    if (!(s.frictionFactor > 0.0) || s.frictionFactor > 0.4) s.frictionFactor = 0.25;
    if (outside(s.maxGradient, 0, 100)) s.maxGradient = 40;
    if (!(s.boilerPower > 0.0) || s.boilerPower > 5000000.0) s.boilerPower = 742500.0;
    if (outside(s.superheaterPower, 0.0, 10000000.0)) s.superheaterPower = 8000000.0;
    if (s.superheaterPower == 0.0) s.superheaterPower = 1e-99;  // it divides
}

void applyFreshStart(LocomotiveState& s, Random15& random) {
    s.wheelAngle = randomWheelAngle(random);
    s.trainWeight = 0;
    s.drainCocksOpen = false;
    s.ambientTemp = randomAmbient(random);
    s.cylinderWallTemp = s.ambientTemp;
    s.tankWater = cab::tankCapacity;
    s.boilerSteam.pressure = 1350000.0;
    s.boilerSteam.waterMass = 8500.0;
    s.distance = 0.0;
    s.simTime = 0.0;
    s.frictionFactor = 0.25;
    s.waterQuality = randomWaterQuality(random);
    s.maxGradient = 40;
}

void applyResumedStart(LocomotiveState& s) {
    // The brake valve in its apply position, the brake applied as far as it goes.
    s.brakeCommand = cab::brakeValve::applyPosition;
    s.brake = cab::brakeValve::appliedBrake;
}

}  // namespace zt40
