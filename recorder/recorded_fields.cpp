#include "recorded_fields.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <type_traits>

#include "numeric.h"
#include "scenario.h"

namespace zt40 {

namespace {

template <class T>
double asDouble(T value) {
    return static_cast<double>(value);
}

template <class T>
void store(T& field, double value) {
    if constexpr (std::is_same_v<T, double>) field = value;
    else if constexpr (std::is_same_v<T, bool>) field = value != 0.0;
    else field = truncateTo<T>(value);
}

#define ZT40_RECORD_FIELD(field)                                                                     \
    RecordedField {                                                                                  \
        #field, [](const LocomotiveState& s, const AutoControlSettings&) { return asDouble(s.field); }, \
            [](LocomotiveState& s, AutoControlSettings&, double v) { store(s.field, v); }            \
    }
#define ZT40_SETTINGS_FIELD(field)                                                                              \
    RecordedField {                                                                                             \
        "autoControl." #field, [](const LocomotiveState&, const AutoControlSettings& a) { return asDouble(a.field); }, \
            [](LocomotiveState&, AutoControlSettings& a, double v) { store(a.field, v); }                       \
    }

std::vector<RecordedField> settingsFields() {
    return {ZT40_SETTINGS_FIELD(controlOn),    ZT40_SETTINGS_FIELD(reverseRequest),
            ZT40_SETTINGS_FIELD(autoSand),     ZT40_SETTINGS_FIELD(speedMode),
            ZT40_SETTINGS_FIELD(forwardRequest), ZT40_SETTINGS_FIELD(backPressure),
            ZT40_SETTINGS_FIELD(targetSpeed),  ZT40_SETTINGS_FIELD(targetPower),
            ZT40_SETTINGS_FIELD(targetChestPressure), ZT40_SETTINGS_FIELD(minCutoff),
            ZT40_SETTINGS_FIELD(dialogOpen)};
}

std::vector<RecordedField> makeDialogFields() {
    // The data dialog: its fourteen fields, what its validation may put
    // right, the flags it sets; then the automatic control's settings.
    std::vector<RecordedField> fields = {
        ZT40_RECORD_FIELD(trainWeight),      ZT40_RECORD_FIELD(ambientTemp),   ZT40_RECORD_FIELD(cylinderWallTemp),
        ZT40_RECORD_FIELD(valveLead),        ZT40_RECORD_FIELD(exhaustEnd),    ZT40_RECORD_FIELD(expansionEnd),
        ZT40_RECORD_FIELD(blastPipeArea),    ZT40_RECORD_FIELD(portArea),      ZT40_RECORD_FIELD(waterQuality),
        ZT40_RECORD_FIELD(targetWaterLevel), ZT40_RECORD_FIELD(boilerPower),   ZT40_RECORD_FIELD(superheaterPower),
        ZT40_RECORD_FIELD(frictionFactor),   ZT40_RECORD_FIELD(maxGradient),   ZT40_RECORD_FIELD(resetSpaces),
        ZT40_RECORD_FIELD(stateDefaulted),   ZT40_RECORD_FIELD(dataDialogOpen),
    };
    for (RecordedField& field : settingsFields()) fields.push_back(std::move(field));
    return fields;
}

#undef ZT40_RECORD_FIELD
#undef ZT40_SETTINGS_FIELD

std::vector<CheckedField> makeCheckedFields() {
    std::vector<CheckedField> fields;
    for (const FieldAccess& field : scenarioFields()) {
        const FieldAccess* access = &field;
        fields.push_back({field.name, [access](ConstDriveState d) { return access->get(d.record); }});
    }
    static const std::vector<RecordedField> settings = settingsFields();
    for (const RecordedField& field : settings) {
        const RecordedField* access = &field;
        fields.push_back({field.name, [access](ConstDriveState d) { return access->get(d.record, d.settings); }});
    }
    fields.push_back({"random", [](ConstDriveState d) { return static_cast<double>(d.random.state()); }});
    return fields;
}

std::uint64_t bitsOf(double value) {
    if (std::isnan(value)) return 0x7ff8000000000000ull;  // one NaN for all
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// A 64-bit mix (splitmix64's finaliser): every bit of the input reaches
// every bit of the output.
std::uint64_t mixed(std::uint64_t x) {
    x ^= x >> 30;
    x *= 0xbf58476d1ce4e5b9ull;
    x ^= x >> 27;
    x *= 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}

}  // namespace

const std::vector<RecordedField>& dialogFields() {
    static const std::vector<RecordedField> fields = makeDialogFields();
    return fields;
}

const RecordedField* findDialogField(std::string_view name) {
    for (const RecordedField& field : dialogFields()) {
        if (field.name == name) return &field;
    }
    return nullptr;
}

const std::vector<CheckedField>& checkedFields() {
    static const std::vector<CheckedField> fields = makeCheckedFields();
    return fields;
}

const CheckedField* findCheckedField(std::string_view name) {
    for (const CheckedField& field : checkedFields()) {
        if (field.name == name) return &field;
    }
    return nullptr;
}

bool sameValue(double a, double b) { return bitsOf(a) == bitsOf(b); }

StateDigest digestOf(const std::vector<const CheckedField*>& fields, ConstDriveState drive) {
    StateDigest digest;
    digest.fieldBytes.reserve(2 * fields.size());
    std::uint64_t whole = 0x5a5434302d465a47ull;
    constexpr char hex[] = "0123456789abcdef";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::uint64_t field = mixed(bitsOf(fields[i]->read(drive)) + 0x9e3779b97f4a7c15ull * (i + 1));
        whole = mixed(whole ^ field);
        digest.fieldBytes += hex[(field >> 4) & 0xf];
        digest.fieldBytes += hex[field & 0xf];
    }
    digest.whole = whole;
    return digest;
}

}  // namespace zt40
