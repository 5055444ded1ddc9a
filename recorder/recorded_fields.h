#pragma once
// The fields a recording names: those the dialogs write into the record
// and the automatic control's settings between the window's events (the
// engine does not see them come), and those the checks compare: every
// field the runner prints, the control's settings and where the random
// sequence stands.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "auto_control.h"
#include "locomotive_state.h"
#include "random15.h"

namespace zt40 {

// What a drive's engine holds that a recording reads and writes.
struct DriveState {
    LocomotiveState& record;
    AutoControlSettings& settings;
    Random15& random;
};

struct ConstDriveState {
    const LocomotiveState& record;
    const AutoControlSettings& settings;
    const Random15& random;
};

struct RecordedField {
    std::string name;
    double (*get)(const LocomotiveState&, const AutoControlSettings&);
    void (*set)(LocomotiveState&, AutoControlSettings&, double);
};

// The fields the data dialog and the automatic-control dialog write.
const std::vector<RecordedField>& dialogFields();
const RecordedField* findDialogField(std::string_view name);

// A field the checks compare, read from a drive.
struct CheckedField {
    std::string name;
    std::function<double(ConstDriveState)> read;
};

// Every field the checks compare, in a fixed order.
const std::vector<CheckedField>& checkedFields();
const CheckedField* findCheckedField(std::string_view name);

// Whether two recorded values are the same to the bit (any NaN equals any NaN).
bool sameValue(double a, double b);

// The digest of a drive over `fields`, and one byte of it per field, so
// that a departure names the first field that differs.
struct StateDigest {
    std::uint64_t whole = 0;
    std::string fieldBytes;  // two hex digits per field
};
StateDigest digestOf(const std::vector<const CheckedField*>& fields, ConstDriveState drive);

}  // namespace zt40
