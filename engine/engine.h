#pragma once
// One drive of the engine: the record, the model on its port, the main
// tick with the operating aids, the automatic control and the track walk,
// the frame rules with the damage that ends a drive, the keys and the mouse
// as the cab's controls, and the timer table that paces them. The window,
// the headless runner and the tests all drive it through the same inputs;
// threads and the display only carry what it decides.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "auto_control.h"
#include "damage.h"
#include "driving_logic.h"
#include "engine_host.h"
#include "frame_rules.h"
#include "frame_sink.h"
#include "locomotive_state.h"
#include "mouse_codes.h"
#include "random15.h"
#include "simulation_port.h"
#include "track_walker.h"
#include "window_messages.h"

namespace zt40 {

struct EngineParts {
    std::unique_ptr<SimulationPort> simulation;
    std::unique_ptr<FrameSink> display;  // none: nothing is drawn
    std::unique_ptr<DrivingLogic> driving;
};

class Engine {
public:
    // `fixedSeed` takes the place of the clock's seed, for drives that must repeat exactly.
    Engine(EngineHost& host, EngineParts parts, std::optional<std::uint32_t> fixedSeed = std::nullopt);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Setting a drive up: the first track point, then `read` fills the
    // record and the track from the configuration (or leaves the defaults).
    using ConfigurationReader = std::function<void(LocomotiveState&, Random15&, TrackAllocator&)>;
    void load(const ConfigurationReader& read);
    // "Nein" to the old state: a fresh start on the loaded machine and line.
    void freshStart();
    // "Ja": the file's drive goes on, the train standing braked.
    void resume();
    // Starts model and display on the record as it stands and the timers;
    // false when memory was short. `beforeModelStart` may set fields first.
    bool start(const std::function<void(LocomotiveState&)>& beforeModelStart = nullptr);
    // The drive ends: the sound stops, the timers end.
    void stop();

    // Input, as the window receives it.
    void onSize(int width, int height);
    void onSetFocus();
    void onKillFocus();
    void onPaint();
    void onKey(KeyMessage message, int virtualKey);
    // A mouse message at client point (x, y); `wheelOrRepeat` is the wheel
    // delta of a wheel turn and the offset of a repeat message.
    void onMouse(MouseMessage message, int x, int y, int wheelOrRepeat);
    void onUser(int offset);  // repeat commands of held mouse buttons
    // The window lost the pointer grab or the focus: held buttons count as let go.
    void onCaptureLost() { releaseButtons(); }
    void onTimer(int id);

    LocomotiveState& state() { return *state_; }
    const LocomotiveState& state() const { return *state_; }
    AutoControlSettings& autoControl() { return autoControl_; }
    Random15& random() { return random_; }  // the drive's one generator, for the dialogs
    const FrameRules& frameRules() const { return frameRules_; }
    bool started() const { return started_; }
    bool damaged() const { return damaged_; }

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
    void frameHandOver();
    void workshop(Damage damage);
    void postRenderIfStandby();
    void reseed();

    EngineHost& host_;
    EngineParts parts_;
    std::optional<std::uint32_t> fixedSeed_;
    std::unique_ptr<LocomotiveState> state_;
    Random15 random_;
    TrackAllocator trackAllocator_;
    TrackWalker trackWalker_;
    AutoControlSettings autoControl_;
    AutoControl autoDriver_;
    std::unique_ptr<FrameView> frame_;  // the frame copy the rules decide on, as the display is shown it
    FrameRules frameRules_;

    std::array<bool, 14> running_{};  // which timers run
    bool started_ = false;
    bool stopped_ = false;
    bool damaged_ = false;  // the workshop is called; nothing else runs
    bool keyUpPending_ = false;
    bool coarseSteps_ = false;
    bool dragMoveAllowed_ = false;
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
    bool autoSandingSeen_ = false;  // automatic sanding as the control last left it in the record
    double reseedDistance_ = 0.0;     // m

    // The cylinder side the model was last handed for its indicator points.
    bool indicatorSideHanded_ = false;
};

}  // namespace zt40
