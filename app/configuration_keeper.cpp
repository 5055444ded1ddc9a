#include "configuration_keeper.h"

#include "configuration_file.h"

namespace zt40 {

ConfigurationKeeper::ConfigurationKeeper(Platform& platform, std::filesystem::path file, bool writable)
    : platform_(platform), file_(std::move(file)), writable_(writable && !file_.empty()) {}

std::string ConfigurationKeeper::shownName() const {
    // Built by appending: GCC 12 at -O3 takes "\"" + a temporary string for
    // an overlapping copy that cannot happen.
    std::string name = "\"";
    name += file_.string();
    name += '"';
    return name;
}

void ConfigurationKeeper::load(LocomotiveState& state, Random15& random, TrackAllocator& allocator) {
    if (writable_) lock_ = std::make_unique<ConfigurationLock>(file_);
    if (const auto problem = loadConfiguration(file_, state, random, allocator, &bytesAtStart_)) {
        // Running on the defaults is fine; writing them over the user's file is not.
        unreadable_ = true;
        platform_.showMessage("Die Konfigurationsdatei " + shownName() + " kann nicht gelesen werden:\n" + *problem +
                                  ".\n\nDas Programm arbeitet mit den Grundeinstellungen; die Datei wird "
                                  "beim Beenden nicht überschrieben.",
                              "Dateifehler", MessageIcon::error);
        return;
    }
    if (lock_ && lock_->outcome() == ConfigurationLock::Outcome::heldElsewhere) {
        platform_.showMessage("Die Konfigurationsdatei " + shownName() +
                                  " wird schon von einem anderen laufenden ZT 40 benutzt.\n\n"
                                  "Dieses Fenster überschreibt sie beim Beenden nur, wenn Sie es bestätigen.",
                              "Hinweis", MessageIcon::warning);
    }
}

bool ConfigurationKeeper::userWantsSave(const LocomotiveState& state) {
    // Another program's drive is overwritten only when the user says so.
    const char* const overwrite = "\nSoll sie trotzdem mit dem Stand dieses Fensters überschrieben werden?";
    if (lock_ && lock_->outcome() == ConfigurationLock::Outcome::heldElsewhere) {
        return platform_.askYesNo("Die Konfigurationsdatei " + shownName() +
                                      " wird auch von einem anderen ZT 40 benutzt." + overwrite,
                                  "Frage", true);
    }
    if (currentBytes(file_) != bytesAtStart_) {
        return platform_.askYesNo("Die Konfigurationsdatei " + shownName() +
                                      " wurde seit dem Start von einem anderen Programm geändert." + overwrite,
                                  "Frage", true);
    }
    // Defaults are saved without a question: the next start then has a file.
    return state.stateDefaulted || platform_.askYesNo("Soll der neue Stand\ngespeichert werden?", "Frage", false);
}

void ConfigurationKeeper::saveAtExit(const LocomotiveState& state) {
    if (writable_ && !unreadable_ && userWantsSave(state)) saveUntilDone(state);
    lock_.reset();  // the run is over: another program may have the file
}

void ConfigurationKeeper::saveUntilDone(const LocomotiveState& state) {
    std::filesystem::path target = file_;
    for (;;) {
        const SaveReport report = saveConfiguration(target, state);
        if (report == SaveResult::saved) return;
        const std::string text = "Fehler beim Speichern der Konfigurationsdatei\n\"" + target.string() +
                                 "\":\n" + report.reason +
                                 ".\n\nNochmals versuchen, an einem anderen Ort speichern oder ohne Speichern "
                                 "beenden?";
        // Until a try can be made: a cancelled file dialog asks again.
        for (bool chosen = false; !chosen;) {
            switch (platform_.askAfterFailedSave(text, "Dateifehler")) {
                case SaveFailureChoice::retry: chosen = true; break;
                case SaveFailureChoice::elsewhere: {
                    const std::string other = platform_.chooseSaveFile("Konfiguration speichern unter", target.string());
                    if (!other.empty()) {
                        target = other;
                        chosen = true;
                    }
                    break;
                }
                case SaveFailureChoice::quitWithoutSaving: return;
            }
        }
    }
}

}  // namespace zt40
