#pragma once
// The platform on a virtual clock: timers fire, posted messages arrive and
// held keys type when the caller lets time pass, in the order a message
// loop would see them. Tests and the headless runner drive the window's
// logic with it; message boxes are recorded and questions answered from a
// list (Yes when it runs out); after a failed save it quits unless told
// otherwise.

#include <algorithm>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "held_keys.h"
#include "platform.h"
#include "window_logic.h"

namespace zt40 {

class VirtualPlatform : public Platform {
public:
    struct Message {
        std::string text;
        std::string caption;
        MessageIcon icon;
    };

    void setTimer(int id, int periodMs) override { timers[id] = {periodMs, now + periodMs}; }
    void killTimer(int id) override { timers.erase(id); }
    void postTimer(int id) override { posted.push_back({true, id}); }
    void postUser(int offset) override { posted.push_back({false, offset}); }
    void showMessage(const std::string& text, const std::string& caption, MessageIcon icon) override {
        messages.push_back({text, caption, icon});
    }
    bool askYesNo(const std::string& text, const std::string& caption, bool) override {
        questions.push_back(text + "|" + caption);
        return answers.empty() ? true : takeAnswer();
    }
    SaveFailureChoice askAfterFailedSave(const std::string& text, const std::string& caption) override {
        failedSaves.push_back(text + "|" + caption);
        if (saveFailureChoices.empty()) return SaveFailureChoice::quitWithoutSaving;
        const SaveFailureChoice choice = saveFailureChoices.front();
        saveFailureChoices.pop_front();
        return choice;
    }
    std::string chooseSaveFile(const std::string&, const std::string& proposed) override {
        proposedSaveFiles.push_back(proposed);
        if (chosenSaveFiles.empty()) return {};
        std::string chosen = chosenSaveFiles.front();
        chosenSaveFiles.pop_front();
        return chosen;
    }
    void setCursor(CursorShape shape) override { cursor = shape; }
    bool setCursorPosition(int x, int y) override {
        if (!pointerMovable) return false;
        cursorX = x, cursorY = y;
        return true;
    }
    void openDataDialog() override { ++dataDialogs; }
    void openAutoControlDialog() override { ++autoControlDialogs; }
    void quit(int code) override { exitCode = code; }
    std::int64_t tickCount() override { return now; }

    bool timerRuns(int id) const { return timers.count(id) != 0; }
    int period(int id) const { return timers.at(id).period; }

    // Lets `ms` pass: posted messages first, then each timer and each
    // message of the held keys when it is due.
    void run(MainWindowLogic& window, std::int64_t ms) {
        const std::int64_t end = now + ms;
        for (int guard = 0; guard < 10000000; ++guard) {
            if (!runNextUntil(window, end)) break;
        }
        deliverPosted(window);
        now = end;
    }

    // Delivers what is posted and then the next timer or key message that
    // falls due; false when nothing is scheduled any more.
    bool runNext(MainWindowLogic& window) { return runNextUntil(window, std::nullopt); }

    void deliverPosted(MainWindowLogic& window) {
        for (int guard = 0; !posted.empty() && guard < 100000; ++guard) {
            const Posted p = posted.front();
            posted.pop_front();
            if (p.timer) window.onTimer(p.id);
            else window.onUser(p.id);
        }
    }

    struct Timer {
        int period;
        std::int64_t due;
    };
    struct Posted {
        bool timer;
        int id;
    };
    std::int64_t now = 0;
    std::map<int, Timer> timers;
    std::map<int, int> fired;
    std::deque<Posted> posted;
    std::vector<Message> messages;
    std::vector<std::string> questions;
    std::deque<bool> answers;
    std::vector<std::string> failedSaves;                // text|caption of each box after a failed save
    std::deque<SaveFailureChoice> saveFailureChoices;    // quit without saving when it runs out
    std::vector<std::string> proposedSaveFiles;          // where each save-file dialog started
    std::deque<std::string> chosenSaveFiles;             // cancelled when it runs out
    CursorShape cursor = CursorShape::standard;
    int cursorX = -1, cursorY = -1;
    bool pointerMovable = true;  // false: as on Wayland
    int dataDialogs = 0, autoControlDialogs = 0;
    int exitCode = -1;

    // The driver's hands on the keyboard: what is held is typed in with
    // the timers, on the same clock.
    HeldKeys keys;

private:
    // The next timer or key message due no later than `limit`: delivered
    // after what is posted; false when there is none. A key message due
    // with a timer comes first.
    bool runNextUntil(MainWindowLogic& window, std::optional<std::int64_t> limit) {
        deliverPosted(window);
        int due = 0;
        std::int64_t at = 0;
        for (const auto& [id, t] : timers) {
            if (due == 0 || t.due < at) at = t.due, due = id;
        }
        const std::optional<std::int64_t> keyAt = keys.nextAt();
        if (keyAt && (due == 0 || *keyAt <= at) && (!limit || *keyAt <= *limit)) {
            now = std::max(now, *keyAt);
            if (const auto event = keys.take()) window.onKey(event->message, event->virtualKey);
            return true;
        }
        if (due == 0 || (limit && at > *limit)) return false;
        now = at;
        timers[due].due = now + timers[due].period;
        ++fired[due];
        window.onTimer(due);
        return true;
    }

    bool takeAnswer() {
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace zt40
