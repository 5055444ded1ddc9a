#pragma once
// The data dialog's rules, apart from its widgets: fourteen machine and train
// parameters of the main record shown as texts in the configuration file's
// units, and the texts the user changed stored back and validated.

#include <array>
#include <cstddef>
#include <string>

#include "locomotive_state.h"
#include "random15.h"

namespace zt40 {

// The fields in the order they are applied.
enum class DataField {
    trainWeight,       // t
    ambientTemp,       // °C
    cylinderWallTemp,  // °C
    valveLead,         // degrees of crank
    exhaustEnd,        // degrees of crank
    expansionEnd,      // degrees of crank
    blastPipeArea,     // m² × 1000
    portArea,          // m² × 1000
    waterQuality,      // %
    targetWaterLevel,  // mm on the gauge glass scale
    boilerPower,       // kW of the fire
    superheaterPower,  // kW
    frictionFactor,
    maxGradient,       // per mille
};
inline constexpr std::size_t dataFieldCount = 14;

using DataTexts = std::array<std::string, dataFieldCount>;

inline std::string& textOf(DataTexts& texts, DataField field) { return texts[static_cast<std::size_t>(field)]; }
inline const std::string& textOf(const DataTexts& texts, DataField field) {
    return texts[static_cast<std::size_t>(field)];
}

// Every field as the dialog shows it, decimals with a comma.
DataTexts dataTextsOf(const LocomotiveState& state);

// One open dialog on the main record, from opening to closing.
class DataDialogSession {
public:
    // Opening: the record marks the data dialog open, and the texts are
    // filled from it.
    DataDialogSession(LocomotiveState& state, Random15& random);
    ~DataDialogSession();
    DataDialogSession(const DataDialogSession&) = delete;
    DataDialogSession& operator=(const DataDialogSession&) = delete;

    // What the edits show: the texts as last filled, or as last applied.
    const DataTexts& shown() const { return shown_; }

    // "Neu laden": the texts filled again from the record.
    const DataTexts& reload();

    // "Übernehmen" and "OK": stores the fields whose text differs from what
    // was shown, so values the run changed meanwhile (the cylinders warming,
    // the train weight keys, the friction of the track) are kept unless the
    // user overwrote them; then validates the whole record without its run
    // state and asks the working spaces to take the wall temperature. True
    // when the texts were filled again and the edits must show `shown()`.
    bool apply(const DataTexts& typed);

    // The dialog is gone; the record marks it closed.
    void close();

private:
    LocomotiveState& state_;
    Random15& random_;
    bool stateDefaultedAtOpening_;
    bool open_ = true;
    DataTexts shown_;
};

}  // namespace zt40
