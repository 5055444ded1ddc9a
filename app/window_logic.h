#pragma once
// The main window's logic: start-up and shut-down with their questions and
// messages, and the window's events handed to the engine, which runs the
// drive. Plain C++; it reaches the platform only through `Platform`.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "configuration_keeper.h"
#include "drive_folder.h"
#include "drive_recorder.h"
#include "engine.h"
#include "platform.h"

namespace zt40 {

struct ShellOptions {
    // The configuration file; empty for none (nothing is read or written).
    std::filesystem::path configurationFile;
    // A fixed seed instead of the clock, for runs that must repeat exactly.
    std::optional<std::uint32_t> fixedSeed;
    // Called once the configuration is loaded and the run decided, just
    // before the model starts: where a headless run sets its fields.
    std::function<void(LocomotiveState&)> beforeModelStart = nullptr;
    // False for a run that only reads the configuration.
    bool saveAtExit = true;
    // The folder every drive is recorded into, keeping the last
    // `keptDrives`; empty: the drive is not recorded.
    std::filesystem::path drivesFolder = {};
    int keptDrives = keptDrivesByDefault;
};

// The window's own timer that brings the drive's recording to the disk.
inline constexpr int recordingFlushTimer = 14;
inline constexpr int recordingFlushMs = 1000;

class MainWindowLogic {
public:
    MainWindowLogic(Platform& platform, EngineParts parts, ShellOptions options);

    void onCreate();
    void onDestroy();
    // The window's events, each handed to the engine and to the recorder.
    void onSize(int width, int height);
    void onSetFocus();
    void onKillFocus();
    void onPaint();
    void onKey(KeyMessage message, int virtualKey);
    void onMouse(MouseMessage message, int x, int y, int wheelOrRepeat);
    void onUser(int offset);
    void onCaptureLost();
    void onTimer(int id);

    Engine& engine() { return engine_; }
    LocomotiveState& state() { return engine_.state(); }
    const LocomotiveState& state() const { return engine_.state(); }
    AutoControlSettings& autoControl() { return engine_.autoControl(); }
    Random15& random() { return engine_.random(); }  // the program's one generator, for the dialogs
    bool ended() const { return ended_; }
    // The file this drive is recorded into; empty when it is not recorded.
    std::filesystem::path recordingFile() const;

    // The startup notice's text: the operating instructions and a word on history.
    static const char* startupNotice();

private:
    // The engine's host: the platform's timers, cursor and dialogs, and the
    // workshop's message, after which the window closes.
    class Host final : public EngineHost {
    public:
        explicit Host(MainWindowLogic& window) : window_(window) {}
        void setTimer(int id, int periodMs) override { window_.platform_.setTimer(id, periodMs); }
        void killTimer(int id) override { window_.platform_.killTimer(id); }
        void postTimer(int id) override { window_.platform_.postTimer(id); }
        void postUser(int offset) override { window_.platform_.postUser(offset); }
        // What the platform answers is recorded, so that a replay gets the same answers.
        std::int64_t tickCount() override;
        std::uint32_t clockSeed() override;
        void setCursor(CursorShape shape) override { window_.platform_.setCursor(shape); }
        bool setCursorPosition(int x, int y) override;
        void openDataDialog() override;
        void openAutoControlDialog() override;
        void workshop(Damage damage) override { window_.workshop(damage); }

    private:
        MainWindowLogic& window_;
    };

    void workshop(Damage damage);
    void startRecording(recording::StartAnswer answer);
    void endRecording();

    Platform& platform_;
    ShellOptions options_;
    Host host_{*this};
    DriveRecorder recorder_;  // before the engine, whose model port reports to it
    std::uint32_t startSeed_ = 0;  // the clock's seed the drive was loaded with
    Engine engine_;
    ConfigurationKeeper configuration_;
    bool ended_ = false;
};

}  // namespace zt40
