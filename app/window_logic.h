#pragma once
// The main window's logic: start-up and shut-down with their questions and
// messages, and the window's events handed to the engine, which runs the
// drive. Plain C++; it reaches the platform only through `Platform`.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "configuration_keeper.h"
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
};

class MainWindowLogic {
public:
    MainWindowLogic(Platform& platform, EngineParts parts, ShellOptions options);

    void onCreate();
    void onDestroy();
    void onSize(int width, int height) { engine_.onSize(width, height); }
    void onSetFocus() { engine_.onSetFocus(); }
    void onKillFocus() { engine_.onKillFocus(); }
    void onPaint() { engine_.onPaint(); }
    void onKey(KeyMessage message, int virtualKey);
    void onMouse(MouseMessage message, int x, int y, int wheelOrRepeat);
    void onUser(int offset);
    void onCaptureLost() { engine_.onCaptureLost(); }
    void onTimer(int id);

    Engine& engine() { return engine_; }
    LocomotiveState& state() { return engine_.state(); }
    const LocomotiveState& state() const { return engine_.state(); }
    AutoControlSettings& autoControl() { return engine_.autoControl(); }
    Random15& random() { return engine_.random(); }  // the program's one generator, for the dialogs
    bool ended() const { return ended_; }

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
        std::int64_t tickCount() override { return window_.platform_.tickCount(); }
        void setCursor(CursorShape shape) override { window_.platform_.setCursor(shape); }
        bool setCursorPosition(int x, int y) override { return window_.platform_.setCursorPosition(x, y); }
        void openDataDialog() override { window_.platform_.openDataDialog(); }
        void openAutoControlDialog() override { window_.platform_.openAutoControlDialog(); }
        void workshop(Damage damage) override { window_.workshop(damage); }

    private:
        MainWindowLogic& window_;
    };

    void workshop(Damage damage);

    Platform& platform_;
    ShellOptions options_;
    Host host_{*this};
    Engine engine_;
    ConfigurationKeeper configuration_;
    bool ended_ = false;
};

}  // namespace zt40
