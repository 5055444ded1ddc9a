#include "auto_control_dialog.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

#include "number_text.h"
#include "numeric.h"

namespace zt40 {

namespace {

constexpr double kmhPerMs = 3.6;
constexpr double paPerBar = 100000.0;
// The dialog shows the steam draw per square metre of grate and hour: kg/s × 18 = kg/m²h.
constexpr double powerDisplayFactor = 18.0;

// A value derived from a stored double truncates onto its trackbar; the
// tolerance keeps 61 km/h stored as 61/3.6 from reopening as 60.
int truncateStored(double value) { return truncateTo<int>(value + 1e-3); }

// "%0.1f" with a decimal comma.
std::string decimalText(double value) {
    std::string text = formatFixed(value, 1);
    if (const std::size_t point = text.find('.'); point != std::string::npos) text[point] = ',';
    return text;
}

// An edit's number: comma rule, then atof; text that reads as an infinity,
// a NaN or a number beyond the double range is refused.
std::optional<double> editNumber(std::string text) {
    acceptDecimalComma(text);
    std::size_t i = text.find_first_not_of(" \t\n\v\f\r");
    if (i == std::string::npos) return 0.0;
    if (text[i] == '+' || text[i] == '-') ++i;
    std::string rest = text.substr(i, 3);
    std::transform(rest.begin(), rest.end(), rest.begin(), [](unsigned char c) { return std::tolower(c); });
    if (rest == "inf" || rest == "nan") return std::nullopt;
    double value = 0.0;
    const char* first = text.data() + i;
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), value, std::chars_format::general);
    (void)end;
    if (error == std::errc::result_out_of_range) return std::nullopt;
    return parseDecimal(text);
}

double rampTowards(double value, double target, double up, double down) {
    if (value < target) return std::min(value + up, target);
    if (value > target) return std::max(value - down, target);
    return value;
}

}  // namespace

AutoControlMode modeOf(const AutoControlSettings& settings) {
    if (!settings.controlOn) return AutoControlMode::off;
    return settings.speedMode ? AutoControlMode::speed : AutoControlMode::power;
}

AutoControlCaptions captionsFor(AutoControlMode mode) {
    switch (mode) {
        case AutoControlMode::power:
            return {"Automatische Steuerung Leistung", "Angestrebte Leistung in kg/m²h", "deaktiviert",
                    "Angestrebter Gegendruck in bar"};
        case AutoControlMode::speed:
            return {"Automatische Steuerung Geschwindigkeit", "Maximale Leistung in kg/m²h",
                    "Angestrebte Geschwindigkeit in km/h", "Maximaler Gegendruck in bar"};
        default:
            return {"Automatische Steuerung Aus", "Angestrebte Leistung in kg/m²h",
                    "Angestrebte Geschwindigkeit in km/h", "Angestrebter Gegendruck in bar"};
    }
}

TrackbarRange rangeOf(AutoSetting setting) {
    switch (setting) {
        case AutoSetting::speed: return {0, 70};          // km/h
        case AutoSetting::power: return {0, 130};         // half kg/m²h
        case AutoSetting::backPressure: return {0, 80};   // tenths of a bar
        case AutoSetting::chestPressure: return {50, 140};  // tenths of a bar
        default: return {40, 120};                         // half percent of cut-off
    }
}

AutoControlDialogModel::AutoControlDialogModel(AutoControlSettings& record)
    : record_(record),
      speed_(record.targetSpeed),
      power_(record.targetPower),
      backPressure_(record.backPressure),
      chestPressure_(record.targetChestPressure),
      minCutoff_(record.minCutoff) {
    record_.dialogOpen = true;
    captions_ = captionsFor(modeOf(record_));
    title_ = captions_.title;

    // Each trackbar from its setting, and the edits from the trackbars.
    setPosition(AutoSetting::backPressure, truncateStored(backPressure_ / 10000.0));
    edits_[index(AutoSetting::backPressure)] = decimalText(position(AutoSetting::backPressure) / 10.0);
    trackbarMoved(AutoSetting::speed, truncateStored(speed_ * kmhPerMs));
    setPosition(AutoSetting::chestPressure, truncateStored(chestPressure_ / 10000.0));
    edits_[index(AutoSetting::chestPressure)] = decimalText(position(AutoSetting::chestPressure) / 10.0);
    trackbarMoved(AutoSetting::minCutoff, minCutoff_);
    trackbarMoved(AutoSetting::power, truncateStored(power_ * 36.0));
}

void AutoControlDialogModel::setPosition(AutoSetting setting, int position) {
    const TrackbarRange range = rangeOf(setting);
    positions_[index(setting)] = std::clamp(position, range.low, range.high);
}

SelectionBand AutoControlDialogModel::selection(AutoSetting setting) const {
    switch (setting) {
        case AutoSetting::speed: {
            const int v = truncateStored(record_.targetSpeed * kmhPerMs);
            return {v - 3, v + 3};
        }
        case AutoSetting::chestPressure: {
            const int v = truncateStored(record_.targetChestPressure / 10000.0);
            return {v - 4, v + 4};
        }
        case AutoSetting::backPressure: {
            const int v = truncateStored(record_.backPressure / 10000.0);
            return {v - 3, v + 3};
        }
        case AutoSetting::power: {
            const int v = truncateStored(record_.targetPower * 36.0);
            return {v - 5, v + 5};
        }
        default: return {record_.minCutoff - 3, record_.minCutoff + 3};
    }
}

void AutoControlDialogModel::chooseMode(AutoControlMode mode) {
    record_.controlOn = mode != AutoControlMode::off;
    record_.speedMode = mode == AutoControlMode::speed;
    if (mode == AutoControlMode::off) {
        title_ = captionsFor(mode).title;  // the group captions stay
        return;
    }
    captions_ = captionsFor(mode);
    title_ = captions_.title;
}

void AutoControlDialogModel::requestForward() {
    record_.forwardRequest = true;
    record_.reverseRequest = false;
}

void AutoControlDialogModel::requestReverse() {
    record_.forwardRequest = false;
    record_.reverseRequest = true;
}

void AutoControlDialogModel::toggleAutoSand() { record_.autoSand = !record_.autoSand; }

void AutoControlDialogModel::preset(AutoPreset preset) {
    struct Values {
        double chestPressure;  // Pa
        int minCutoff;         // half-percent steps
        double power;          // kg/s
        double backPressure;   // Pa
        int chestPosition;     // tenths of a bar
    };
    static constexpr Values table[] = {
        {1400000.0, 42, 3.1666667, 800000.0, 140},  // economical
        {800000.0, 60, 2.2222, 500000.0, 80},       // gentle on the engine
        {1000000.0, 70, 2.7778, 650000.0, 100},     // gentle with power
    };
    const Values& v = table[static_cast<int>(preset)];
    chestPressure_ = v.chestPressure;
    minCutoff_ = v.minCutoff;
    if (record_.speedMode) {
        power_ = v.power;
        backPressure_ = v.backPressure;
    }
    setPosition(AutoSetting::chestPressure, v.chestPosition);
    setPosition(AutoSetting::backPressure, truncateStored(backPressure_ / 10000.0));
    setPosition(AutoSetting::minCutoff, minCutoff_);
    setPosition(AutoSetting::power, truncateStored(power_ * 36.0));
    for (AutoSetting s : {AutoSetting::chestPressure, AutoSetting::backPressure, AutoSetting::minCutoff,
                          AutoSetting::power}) {
        rewriteEdit(s);
    }
}

void AutoControlDialogModel::trackbarMoved(AutoSetting setting, int position) {
    setPosition(setting, position);
    const int p = this->position(setting);
    std::string& edit = edits_[index(setting)];
    switch (setting) {
        case AutoSetting::speed:
            edit = std::to_string(p);
            speed_ = p / kmhPerMs;
            break;
        case AutoSetting::backPressure:
            edit = decimalText(p / 10.0);
            backPressure_ = p * 10000.0;
            break;
        case AutoSetting::chestPressure:
            edit = decimalText(p / 10.0);
            chestPressure_ = p * 10000.0;
            break;
        case AutoSetting::minCutoff:
            minCutoff_ = p;
            edit = decimalText(p * 0.5);
            break;
        case AutoSetting::power:
            edit = decimalText(p * 0.5);
            power_ = p / 36.0;
            break;
    }
}

// The edit after its OK button: from the setting, as the dialog writes it back.
void AutoControlDialogModel::rewriteEdit(AutoSetting setting) {
    std::string& edit = edits_[index(setting)];
    switch (setting) {
        case AutoSetting::speed: edit = std::to_string(position(setting)); break;
        case AutoSetting::power: edit = decimalText(power_ * powerDisplayFactor); break;
        case AutoSetting::backPressure: edit = decimalText(backPressure_ / paPerBar); break;
        case AutoSetting::chestPressure: edit = decimalText(chestPressure_ / paPerBar); break;
        case AutoSetting::minCutoff: edit = decimalText(position(setting) * 0.5); break;
    }
}

void AutoControlDialogModel::editConfirmed(AutoSetting setting, std::string_view text) {
    const std::optional<double> value = editNumber(std::string(text));
    const TrackbarRange range = rangeOf(setting);
    if (value) {
        // Speed is read as a whole number, the others in halves or tenths.
        const int n = setting == AutoSetting::speed           ? parseInteger(text)
                      : setting == AutoSetting::power          ? truncateStored(*value * 2.0)
                      : setting == AutoSetting::minCutoff      ? truncateStored(*value * 2.0)
                                                               : truncateStored(*value * 10.0);
        if (n >= range.low && n <= range.high) {
            setPosition(setting, n);
            switch (setting) {
                case AutoSetting::speed: speed_ = n / kmhPerMs; break;
                case AutoSetting::power: power_ = n / 36.0; break;
                case AutoSetting::backPressure: backPressure_ = n * 10000.0; break;
                case AutoSetting::chestPressure: chestPressure_ = n * 10000.0; break;
                case AutoSetting::minCutoff: minCutoff_ = n; break;
            }
        }
    }
    rewriteEdit(setting);
}

void AutoControlDialogModel::tick() {
    AutoControlSettings& r = record_;
    // Switched off, the control takes the settings at once ...
    if (!r.controlOn && !r.speedMode) {
        r.targetSpeed = speed_;
        r.targetPower = power_;
        r.backPressure = backPressure_;
        r.targetChestPressure = chestPressure_;
        r.minCutoff = minCutoff_;
    }
    // ... working, it is led toward them.
    r.targetSpeed = rampTowards(r.targetSpeed, speed_, 0.2778, 0.2778);  // 1 km/h per tick
    r.targetChestPressure = rampTowards(r.targetChestPressure, chestPressure_, 5000.0, 5000.0);
    r.backPressure = rampTowards(r.backPressure, backPressure_, 10000.0, 50000.0);
    r.targetPower = rampTowards(r.targetPower, power_, 0.0278, 0.15);
    r.minCutoff = r.minCutoff + (r.minCutoff < minCutoff_) - (r.minCutoff > minCutoff_);
}

}  // namespace zt40
