#include "window_logic.h"

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

MainWindowLogic::MainWindowLogic(Platform& platform, EngineParts parts, ShellOptions options)
    : platform_(platform),
      options_(std::move(options)),
      engine_(host_, std::move(parts), options_.fixedSeed),
      configuration_(platform, options_.configurationFile, options_.saveAtExit) {}

void MainWindowLogic::onCreate() {
    // Track list, configuration, and the question whether to go on.
    engine_.load([this](LocomotiveState& s, Random15& random, TrackAllocator& allocator) {
        configuration_.load(s, random, allocator);
    });
    if (!state().stateDefaulted) {
        if (platform_.askYesNo("Soll die alte Konfiguration\ngeladen werden? Streckendaten\nwerden immer geladen.",
                               "Frage", true)) {
            engine_.resume();
        } else {
            engine_.freshStart();
        }
    }

    // The drive starts: model and display threads, then the timers.
    if (!engine_.start(options_.beforeModelStart)) {
        platform_.showMessage("Es konnte nicht genug Speicher reserviert werden", "Speicherproblem",
                              MessageIcon::error);
        onDestroy();
    }
}

void MainWindowLogic::onDestroy() {
    if (ended_) return;
    ended_ = true;
    engine_.stop();
    configuration_.saveAtExit(state());
    platform_.quit(0);
}

void MainWindowLogic::onKey(KeyMessage message, int virtualKey) {
    if (!ended_) engine_.onKey(message, virtualKey);
}

void MainWindowLogic::onMouse(MouseMessage message, int x, int y, int wheelOrRepeat) {
    if (!ended_) engine_.onMouse(message, x, y, wheelOrRepeat);
}

void MainWindowLogic::onUser(int offset) {
    if (!ended_) engine_.onUser(offset);
}

void MainWindowLogic::onTimer(int id) {
    if (!ended_) engine_.onTimer(id);
}

void MainWindowLogic::workshop(Damage damage) {
    platform_.showMessage(workshopText(damage), "Werkstatt", MessageIcon::error);
    onDestroy();
}

}  // namespace zt40
