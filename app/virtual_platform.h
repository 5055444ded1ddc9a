#pragma once
// The platform on a virtual clock, for tests of the window's logic:
// message boxes are recorded and questions answered from a list (Yes when
// it runs out).

#include <cstdint>
#include <deque>
#include <map>
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
