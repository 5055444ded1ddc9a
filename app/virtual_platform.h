#pragma once
// The platform on a virtual clock, for tests of the window's logic:
// message boxes are recorded and questions answered from a list (Yes when
// it runs out); after a failed save it quits unless told otherwise.

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform.h"
#include "virtual_clock.h"

namespace zt40 {

class VirtualPlatform : public Platform, public VirtualTimers {
public:
    struct Message {
        std::string text;
        std::string caption;
        MessageIcon icon;
    };

    void setTimer(int id, int periodMs) override { set(id, periodMs); }
    void killTimer(int id) override { kill(id); }
    void postTimer(int id) override { VirtualTimers::postTimer(id); }
    void postUser(int offset) override { VirtualTimers::postUser(offset); }
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

private:
    bool takeAnswer() {
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace zt40
