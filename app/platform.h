#pragma once
// What the main window's logic needs from the platform: window timers,
// messages posted to itself, message boxes, the cursor, the two dialogs and
// the end of the program. The Qt window implements it; tests implement it
// on a virtual clock.

#include <cstdint>
#include <string>

#include "cursor_shape.h"

namespace zt40 {

enum class MessageIcon { warning, question, error };

// What the user chooses after a failed save at the end.
enum class SaveFailureChoice { retry, elsewhere, quitWithoutSaving };

class Platform {
public:
    virtual ~Platform() = default;

    // Window timers: (re)start timer `id` with a period, or stop it.
    virtual void setTimer(int id, int periodMs) = 0;
    virtual void killTimer(int id) = 0;
    // A WM_TIMER message with `id` posted to the window's queue.
    virtual void postTimer(int id) = 0;
    // The repeat messages WM_USER+0 to WM_USER+8, posted.
    virtual void postUser(int offset) = 0;

    virtual void showMessage(const std::string& text, const std::string& caption, MessageIcon icon) = 0;
    // A Yes/No question; true for Yes. `defaultNo` preselects No.
    virtual bool askYesNo(const std::string& text, const std::string& caption, bool defaultNo) = 0;
    // After a failed save: try again, save elsewhere, or quit without saving.
    virtual SaveFailureChoice askAfterFailedSave(const std::string& text, const std::string& caption) = 0;
    // A German dialog choosing a file to save into, starting at `proposed`;
    // the chosen path, or empty when the user cancels.
    virtual std::string chooseSaveFile(const std::string& caption, const std::string& proposed) = 0;

    virtual void setCursor(CursorShape shape) = 0;
    // Puts the pointer on a client point; false where the platform cannot
    // move the pointer (Wayland).
    virtual bool setCursorPosition(int clientX, int clientY) = 0;

    virtual void openDataDialog() = 0;
    virtual void openAutoControlDialog() = 0;

    // The message loop ends with this exit code.
    virtual void quit(int exitCode) = 0;

    // Milliseconds of a steady clock.
    virtual std::int64_t tickCount() = 0;
};

}  // namespace zt40
