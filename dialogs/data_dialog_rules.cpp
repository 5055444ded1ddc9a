#include "data_dialog_rules.h"

#include <string_view>

#include "cab_controls.h"
#include "configuration.h"
#include "edit_number.h"
#include "numeric.h"

namespace zt40 {

namespace {

struct FieldRule {
    std::string (*show)(const LocomotiveState&);
    void (*store)(LocomotiveState&, std::string_view text);
};

// Water quality and the largest gradient are held in 8 bits. The whole
// typed value is narrowed with saturation, so that a value outside 8 bits
// stays outside the plausible range and the validation replaces it, instead
// of wrapping into the range (300 % would become 44 %).
std::int8_t saturatedByte(int value) { return truncateTo<std::int8_t>(value); }

// In the order of DataField.
constexpr FieldRule fieldRules[] = {
    {[](const LocomotiveState& s) { return editTextOf(s.trainWeight); },
     [](LocomotiveState& s, std::string_view t) { s.trainWeight = editInteger(t); }},
    {[](const LocomotiveState& s) { return editTextOf(truncateTo<int>(s.ambientTemp - 273.0)); },
     [](LocomotiveState& s, std::string_view t) { s.ambientTemp = truncateTo<std::int32_t>(editInteger(t) + 273.0); }},
    {[](const LocomotiveState& s) { return editTextOf(s.cylinderWallTemp - 273.0); },
     [](LocomotiveState& s, std::string_view t) { s.cylinderWallTemp = editDecimal(t) + 273.0; }},
    {[](const LocomotiveState& s) { return editTextOf(s.valveLead * 1.8); },
     [](LocomotiveState& s, std::string_view t) { s.valveLead = editDecimal(t) * 10.0 / 18.0; }},
    {[](const LocomotiveState& s) { return editTextOf(s.exhaustEnd * 1.8); },
     [](LocomotiveState& s, std::string_view t) { s.exhaustEnd = editDecimal(t) * 10.0 / 18.0; }},
    {[](const LocomotiveState& s) { return editTextOf(s.expansionEnd * 1.8); },
     [](LocomotiveState& s, std::string_view t) { s.expansionEnd = editDecimal(t) * 10.0 / 18.0; }},
    {[](const LocomotiveState& s) { return editTextOf(s.blastPipeArea * 1000.0); },
     [](LocomotiveState& s, std::string_view t) { s.blastPipeArea = editDecimal(t) / 1000.0; }},
    {[](const LocomotiveState& s) { return editTextOf(s.portArea * 1000.0); },
     [](LocomotiveState& s, std::string_view t) { s.portArea = editDecimal(t) / 1000.0; }},
    {[](const LocomotiveState& s) { return editTextOf(int{s.waterQuality}); },
     [](LocomotiveState& s, std::string_view t) { s.waterQuality = saturatedByte(editInteger(t)); }},
    {[](const LocomotiveState& s) { return editTextOf(truncateTo<int>(454.0 - s.targetWaterLevel)); },
     [](LocomotiveState& s, std::string_view t) {
         s.targetWaterLevel = truncateTo<std::int32_t>(454.0 - editInteger(t));
     }},
    {[](const LocomotiveState& s) { return editTextOf(s.boilerPower / 67.5); },
     [](LocomotiveState& s, std::string_view t) { s.boilerPower = editDecimal(t) * 67.5; }},
    {[](const LocomotiveState& s) { return editTextOf(s.superheaterPower / 1000.0); },
     [](LocomotiveState& s, std::string_view t) { s.superheaterPower = editDecimal(t) * 1000.0; }},
    {[](const LocomotiveState& s) { return editTextOf(s.frictionFactor); },
     [](LocomotiveState& s, std::string_view t) { s.frictionFactor = editDecimal(t); }},
    {[](const LocomotiveState& s) { return editTextOf(int{s.maxGradient}); },
     [](LocomotiveState& s, std::string_view t) { s.maxGradient = saturatedByte(editInteger(t)); }},
};
static_assert(std::size(fieldRules) == dataFieldCount);

}  // namespace

DataTexts dataTextsOf(const LocomotiveState& state) {
    DataTexts texts;
    for (std::size_t i = 0; i < dataFieldCount; ++i) texts[i] = fieldRules[i].show(state);
    return texts;
}

DataDialogSession::DataDialogSession(LocomotiveState& state, Random15& random)
    : state_(state), random_(random), stateDefaultedAtOpening_(state.stateDefaulted), shown_(dataTextsOf(state)) {
    state_.dataDialogOpen = true;
}

DataDialogSession::~DataDialogSession() { close(); }

const DataTexts& DataDialogSession::reload() {
    shown_ = dataTextsOf(state_);
    return shown_;
}

bool DataDialogSession::apply(const DataTexts& typed) {
    // Only what the user changed, in the order of the fields.
    for (std::size_t i = 0; i < dataFieldCount; ++i) {
        if (typed[i] != shown_[i]) fieldRules[i].store(state_, typed[i]);
    }
    shown_ = typed;
    validateConfiguration(state_, false, random_);
    // A run on defaults shows what was actually stored.
    const bool refilled = state_.stateDefaulted;
    if (refilled) reload();
    // The exit question depends on the start-up alone.
    state_.stateDefaulted = stateDefaultedAtOpening_;
    cab::restartWorkingSpaces(state_);
    return refilled;
}

void DataDialogSession::close() {
    if (!open_) return;
    open_ = false;
    state_.dataDialogOpen = false;
}

}  // namespace zt40
