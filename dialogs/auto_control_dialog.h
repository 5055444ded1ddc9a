#pragma once
// The rules of the automatic-control dialog "Autosteuer", without widgets:
// the mode and direction buttons, the presets, five trackbars with their
// edits, and the 200 ms ramps that move the control's current values
// toward what the driver set. The widget only shows what this says and
// passes the driver's input on.

#include <array>
#include <string>
#include <string_view>

#include "auto_control.h"

namespace zt40 {

enum class AutoControlMode { off, power, speed };

// The five trackbars, each with an edit and its OK button.
enum class AutoSetting { speed, power, backPressure, chestPressure, minCutoff };
inline constexpr int autoSettingCount = 5;

enum class AutoPreset { economical, gentle, gentlePlusPower };  // "Wirtschaftlich", "Schonung", "Schonung + Leistung"

struct TrackbarRange {
    int low, high;
};
struct SelectionBand {
    int from, to;
};

struct AutoControlCaptions {
    const char* title;
    const char* powerGroup;         // the power trackbar's frame
    const char* speedGroup;         // the speed trackbar's frame
    const char* backPressureGroup;  // the back-pressure trackbar's frame
};

AutoControlMode modeOf(const AutoControlSettings& settings);
AutoControlCaptions captionsFor(AutoControlMode mode);
TrackbarRange rangeOf(AutoSetting setting);

class AutoControlDialogModel {
public:
    // Opening: the settings start from the control's current values.
    explicit AutoControlDialogModel(AutoControlSettings& record);

    int position(AutoSetting setting) const { return positions_[index(setting)]; }
    const std::string& editText(AutoSetting setting) const { return edits_[index(setting)]; }
    const char* title() const { return title_; }
    const AutoControlCaptions& groupCaptions() const { return captions_; }
    // The control's current value as a band on its trackbar.
    SelectionBand selection(AutoSetting setting) const;

    void chooseMode(AutoControlMode mode);  // "Leistung", "Stop", "Geschwindigkeit"
    void requestForward();
    void requestReverse();
    void toggleAutoSand();
    void preset(AutoPreset preset);
    void trackbarMoved(AutoSetting setting, int position);
    // The OK beside an edit: a value in range is taken, any other put back.
    void editConfirmed(AutoSetting setting, std::string_view text);
    // Every 200 ms while the dialog is open.
    void tick();
    // OK, Escape or the close box.
    void close() { record_.dialogOpen = false; }

    // The settings (what the control is ramped toward).
    double speedSetting() const { return speed_; }              // m/s
    double powerSetting() const { return power_; }              // kg/s
    double backPressureSetting() const { return backPressure_; }  // Pa
    double chestPressureSetting() const { return chestPressure_; }  // Pa
    int minCutoffSetting() const { return minCutoff_; }         // half-percent steps

private:
    static int index(AutoSetting setting) { return static_cast<int>(setting); }
    void setPosition(AutoSetting setting, int position);
    void rewriteEdit(AutoSetting setting);

    AutoControlSettings& record_;
    double speed_;          // m/s
    double power_;          // kg/s
    double backPressure_;   // Pa
    double chestPressure_;  // Pa
    int minCutoff_;         // half-percent steps
    std::array<int, autoSettingCount> positions_{};
    std::array<std::string, autoSettingCount> edits_;
    const char* title_;
    AutoControlCaptions captions_;
};

}  // namespace zt40
