#include "window_logic.h"

#include <ctime>

#include "recorded_simulation.h"

namespace zt40 {

const char* MainWindowLogic::startupNotice() {
    return "Achtung Troffimoffschieber!\n"
           "\n"
           "Übergang in Leerlauf:\n"
           "Regler zu, Steuerung auf rund 55% auslegen, nach Druckabfall im Schieberkasten auf 10% einziehen.\n"
           "Übergang auf Lastfahrt:\n"
           "Steuerung auf Null einziehen. Regler auf und gewünschte Füllung einstellen.\n"
           "\n"
           "Bedienung der Gegendruckbremse\n"
           "Anstellen:\n"
           "1. Drosselventil öffnen (1/2 Umdrehung)\n"
           "2. Blasrohr schließen\n"
           "3. Druckausgleicher schließen\n"
           "4. Steuerung entgegen der Fahrtrichtung legen\n"
           "5. Zylindereinspritzung mäßig öffnen. Temperatur nicht über 300°C steigen lassen\n"
           "6. Bremsdruck mit dem Drosselventil regeln (höchstens 6 bar)\n"
           "\n"
           "Abstellen:\n"
           "1. Einspritzventil fest schließen\n"
           "2. Drosselventil ganz öffnen\n"
           "3. Steuerung sehr langsam in Fahrtrichtung legen\n"
           "4. Druckausgleicher öffnen\n"
           "5. Drosselventil fest schließen\n"
           "6. Blasrohr öffnen\n"
           "\n"
           "Schwere Tenderlokomotiven mit fünf gekuppelten Achsen entstanden in den 1920er Jahren für "
           "Steilstrecken und den schweren Güterzugdienst im Mittelgebirge. Ohne Schlepptender trugen sie "
           "Wasser und Kohle auf dem eigenen Rahmen, was das Reibungsgewicht erhöhte; die Gegendruckbremse "
           "erlaubte lange Gefällefahrten ohne heißgelaufene Bremsklötze. Manche standen bis in die 1970er "
           "Jahre im Dienst.";
}

namespace {

// The model's port with the recorder noting the exchanges it skips.
EngineParts recorded(EngineParts parts, DriveRecorder& recorder) {
    parts.simulation = std::make_unique<RecordedSimulation>(std::move(parts.simulation), recorder);
    return parts;
}

}  // namespace

MainWindowLogic::MainWindowLogic(Platform& platform, EngineParts parts, ShellOptions options)
    : platform_(platform),
      options_(std::move(options)),
      engine_(host_, recorded(std::move(parts), recorder_), options_.fixedSeed),
      configuration_(platform, options_.configurationFile, options_.saveAtExit) {}

std::int64_t MainWindowLogic::Host::tickCount() {
    const std::int64_t now = window_.platform_.tickCount();
    window_.recorder_.clock(now);
    return now;
}

std::uint32_t MainWindowLogic::Host::clockSeed() {
    const std::uint32_t seed = clockSeedNow();
    if (window_.recorder_.recording()) window_.recorder_.seed(seed);
    else window_.startSeed_ = seed;  // the load's seed heads the recording
    return seed;
}

bool MainWindowLogic::Host::setCursorPosition(int x, int y) {
    const bool placed = window_.platform_.setCursorPosition(x, y);
    window_.recorder_.pointerPlaced(placed);
    return placed;
}

void MainWindowLogic::Host::openDataDialog() {
    window_.platform_.openDataDialog();
    window_.recorder_.dialogOpened();
}

void MainWindowLogic::Host::openAutoControlDialog() {
    window_.platform_.openAutoControlDialog();
    window_.recorder_.dialogOpened();
}

void MainWindowLogic::onCreate() {
    // Track list, configuration, and the question whether to go on.
    engine_.load([this](LocomotiveState& s, Random15& random, TrackAllocator& allocator) {
        configuration_.load(s, random, allocator);
    });
    recording::StartAnswer answer = recording::StartAnswer::none;
    if (!state().stateDefaulted) {
        if (platform_.askYesNo("Soll die alte Konfiguration\ngeladen werden? Streckendaten\nwerden immer geladen.",
                               "Frage", true)) {
            answer = recording::StartAnswer::yes;
            engine_.resume();
        } else {
            answer = recording::StartAnswer::no;
            engine_.freshStart();
        }
    }

    // The drive starts: model and display threads, then the timers.
    if (!engine_.start(options_.beforeModelStart)) {
        platform_.showMessage("Es konnte nicht genug Speicher reserviert werden", "Speicherproblem",
                              MessageIcon::error);
        onDestroy();
        return;
    }
    startRecording(answer);
}

void MainWindowLogic::startRecording(recording::StartAnswer answer) {
    if (options_.drivesFolder.empty() || options_.keptDrives < 1) return;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::string problem;
    const auto file = newDriveFile(options_.drivesFolder, options_.keptDrives, local, problem);
    DriveStart start{startedAtText(local), startSeed_, options_.fixedSeed.has_value(), answer,
                     configuration_.bytesAtStart()};
    if (options_.fixedSeed) start.seed = *options_.fixedSeed;
    if (file) {
        if (auto failure = recorder_.begin(*file, start, {state(), autoControl(), random()})) {
            problem = "Die Datei \"" + file->string() + "\" lässt sich nicht anlegen: " + *failure + ".";
        }
    }
    if (!recorder_.recording()) {
        platform_.showMessage("Diese Fahrt wird nicht aufgezeichnet.\n" + problem, "Hinweis", MessageIcon::warning);
        return;
    }
    platform_.setTimer(recordingFlushTimer, recordingFlushMs);
}

void MainWindowLogic::endRecording() {
    if (!recorder_.recording()) return;
    platform_.killTimer(recordingFlushTimer);
    recorder_.finish();
    if (const auto failure = recorder_.failure()) {
        platform_.showMessage("Die Aufzeichnung der Fahrt in \"" + recorder_.file().string() +
                                  "\" ist unvollständig: " + *failure + ".",
                              "Dateifehler", MessageIcon::warning);
    }
}

std::filesystem::path MainWindowLogic::recordingFile() const {
    return recorder_.recording() ? recorder_.file() : std::filesystem::path();
}

void MainWindowLogic::onDestroy() {
    if (ended_) return;
    ended_ = true;
    endRecording();
    engine_.stop();
    configuration_.saveAtExit(state());
    platform_.quit(0);
}

// Every event reaches the recorder before the engine, and the recorder
// looks again after it: what changes between two events came from a dialog.
void MainWindowLogic::onSize(int width, int height) {
    recorder_.size(width, height);
    engine_.onSize(width, height);
    recorder_.afterEvent();
}

void MainWindowLogic::onSetFocus() {
    recorder_.focus(true);
    engine_.onSetFocus();
    recorder_.afterEvent();
}

void MainWindowLogic::onKillFocus() {
    recorder_.focus(false);
    engine_.onKillFocus();
    recorder_.afterEvent();
}

void MainWindowLogic::onPaint() {
    recorder_.paint();
    engine_.onPaint();
    recorder_.afterEvent();
}

void MainWindowLogic::onCaptureLost() {
    recorder_.captureLost();
    engine_.onCaptureLost();
    recorder_.afterEvent();
}

void MainWindowLogic::onKey(KeyMessage message, int virtualKey) {
    if (ended_) return;
    recorder_.key(message, virtualKey);
    engine_.onKey(message, virtualKey);
    recorder_.afterEvent();
}

void MainWindowLogic::onMouse(MouseMessage message, int x, int y, int wheelOrRepeat) {
    if (ended_) return;
    recorder_.mouse(message, x, y, wheelOrRepeat);
    engine_.onMouse(message, x, y, wheelOrRepeat);
    recorder_.afterEvent();
}

void MainWindowLogic::onUser(int offset) {
    if (ended_) return;
    recorder_.user(offset);
    engine_.onUser(offset);
    recorder_.afterEvent();
}

void MainWindowLogic::onTimer(int id) {
    if (ended_) return;
    if (id == recordingFlushTimer) {
        recorder_.flush();
        return;
    }
    recorder_.timer(id);
    engine_.onTimer(id);
    recorder_.afterEvent();
}

void MainWindowLogic::workshop(Damage damage) {
    platform_.showMessage(workshopText(damage), "Werkstatt", MessageIcon::error);
    onDestroy();
}

}  // namespace zt40
