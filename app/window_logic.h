#pragma once
// The main window's logic: start-up and shut-down, size, focus and paint,
// the key and mouse paths, the timer table and the main tick. Plain C++; it
// reaches the platform only through `Platform`.

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "auto_control.h"
#include "configuration_keeper.h"
#include "locomotive_state.h"
#include "mouse_codes.h"
#include "platform.h"
#include "random15.h"
#include "damage.h"
#include "driving_logic.h"
#include "render_port.h"
#include "simulation_port.h"
#include "track_point.h"
#include "track_walker.h"
#include "window_messages.h"

namespace zt40 {

struct ShellOptions {
    // The configuration file; empty for none (nothing is read or written).
    std::filesystem::path configurationFile;
    // A fixed seed instead of the clock, for runs that must repeat exactly.
    std::optional<std::uint32_t> fixedSeed;
    // Called once the configuration is loaded and the run decided, just
    // before the model starts: where a headless run sets its fields.
    std::function<void(LocomotiveState&)> beforeModelStart = nullptr;
    // False for a run that only reads the configuration (the headless runner).
    bool saveAtExit = true;
};

struct ShellParts {
    std::unique_ptr<SimulationPort> simulation;
    std::unique_ptr<RenderPort> render;
    std::unique_ptr<DrivingLogic> driving;
};

class MainWindowLogic {
public:
    MainWindowLogic(Platform& platform, ShellParts parts, ShellOptions options);
    ~MainWindowLogic();

    void onCreate();
    void onDestroy();
    void onSize(int width, int height);
    void onSetFocus();
    void onKillFocus();
    void onPaint();
    void onKey(KeyMessage message, int virtualKey);
    // A mouse message at client point (x, y); `wheelOrRepeat` is the wheel
    // delta of a wheel turn and the offset of a repeat message.
    void onMouse(MouseMessage message, int x, int y, int wheelOrRepeat);
    void onUser(int offset);  // WM_USER+0..8: repeat commands
    // The window lost the pointer grab or the focus: held buttons count as let go.
    void onCaptureLost() { releaseButtons(); }
    void onTimer(int id);

    LocomotiveState& state() { return *state_; }
    const LocomotiveState& state() const { return *state_; }
    AutoControlSettings& autoControl() { return autoControl_; }
    Random15& random() { return random_; }  // the program's one generator, for the dialogs
    bool ended() const { return ended_; }

    // The startup notice's text: the operating instructions and a word on history.
    static const char* startupNotice();

private:
    void setTimer(int id, int periodMs);
    void killTimer(int id);
    bool timerRunning(int id) const { return running_[id]; }

    void mainTick();
    void tickTail();
    double tickTime() const;
    void manageAutoControlTimer();
    void startAutoControlTimer();
    void autoControlStep();
    void advanceDistance(double dt);
    void runOrStandby();
    void calibrate();
    void actOnMouseResult(MouseResult result);
    void noteButtons(MouseMessage message);
    void releaseButtons();
    void walkTrack();
    void openDataDialogIfClosed();
    void openAutoControlDialogIfClosed();
    void renderExchange();
    void damageEnd(Damage damage);
    void postRenderIfStandby();
    void reseed();

    Platform& platform_;
    ShellParts parts_;
    ShellOptions options_;
    std::unique_ptr<LocomotiveState> state_;
    Random15 random_;
    ConfigurationKeeper configuration_;
    TrackAllocator trackAllocator_;
    TrackWalker trackWalker_;
    AutoControlSettings autoControl_;
    AutoControl autoDriver_;

    std::array<bool, 14> running_{};  // which timers run
    bool started_ = false;
    bool ended_ = false;
    bool damaged_ = false;  // the workshop message is up; nothing else runs
    bool keyUpPending_ = false;
    bool coarseSteps_ = false;
    bool dragMoveAllowed_ = false;
    bool brakeStepping_ = false;
    MouseResult pendingCommand_ = MouseResult::none;
    bool leftButtonDown_ = false;
    bool rightButtonDown_ = false;
    CursorShape hoverCursor_ = CursorShape::standard;  // what the pointer's place shows
    bool busyShown_ = false;                           // the track walk's busy cursor is up
    bool commandChanged_ = false;
    bool commandChangedCopy_ = false;

    // Calibration of the step length.
    std::int64_t lastTickCount_ = 0;   // ms
    std::int64_t lastSimulatedMs_ = 0;  // ms
    bool calibrationArmed_ = false;

    // Automatic control bookkeeping.
    bool autoControlTablePeriod_ = false;
    double reseedDistance_ = 0.0;     // m

    // The window and cylinder side the model was last handed for its
    // indicator points.
    struct IndicatorFrame {
        double displayScale;       // mm per pixel
        std::int32_t clientWidth;  // px
        bool indicatorSide;
        bool operator==(const IndicatorFrame&) const = default;
    };
    IndicatorFrame indicatorFrame_{};
};

}  // namespace zt40
