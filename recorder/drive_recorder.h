#pragma once
// The drive recorder: writes one drive as what reaches its engine, so that
// the drive can be replayed to the bit. The window hands it every event it
// hands the engine, the answers its host gave while the event ran, whether
// the model took each exchange, and once a second a checkpoint; what the
// dialogs wrote between events it finds by comparing their fields. One
// line per change, the main ticks implied by the count in front.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "recorded_fields.h"
#include "recording_format.h"
#include "recording_writer.h"
#include "window_messages.h"

namespace zt40 {

// What a drive starts from besides its events.
struct DriveStart {
    std::string startedAt;  // local date and time, "2024-05-01 14:03:22"
    std::uint32_t seed = 1;  // the random sequence's first seed
    bool fixedSeed = false;  // the seed stands for the whole drive (a test), not the clock's
    recording::StartAnswer answer = recording::StartAnswer::none;
    std::optional<std::string> configuration;  // the file's bytes as loaded; none: the defaults
};

class DriveRecorder {
public:
    // Starts recording the drive into a new `file`: the header now, the
    // drive as it goes. Why not (German) on failure.
    std::optional<std::string> begin(const std::filesystem::path& file, const DriveStart& start, DriveState drive);
    bool recording() const { return drive_.has_value(); }
    const std::filesystem::path& file() const { return file_; }

    // Events, as the window hands them to the engine; each first writes
    // what the dialogs changed since the last one.
    void key(KeyMessage message, int virtualKey);
    void mouse(MouseMessage message, int x, int y, int wheelOrRepeat);
    void user(int offset);
    void timer(int id);  // the main tick is counted, not written
    void size(int width, int height);
    void focus(bool gained);
    void paint();
    void captureLost();
    // After each event: what the engine itself changed is no dialog's write.
    void afterEvent();

    // What the host answered while an event ran.
    void clock(std::int64_t ms);
    void pointerPlaced(bool placed);
    void seed(std::uint32_t seed);
    void busy();  // the model had not finished: this tick's exchange was skipped
    // A dialog opened while an event ran: what it wrote as it opened.
    void dialogOpened();

    // At least once a second: a checkpoint, and the text to the disk.
    void flush();
    // The drive is over: the end state, and the file is complete.
    void finish();
    // Why the file could not be written to its end (German), if so.
    std::optional<std::string> failure() { return writer_.failure(); }

    std::int64_t ticks() const { return ticks_; }

private:
    void event(std::string_view word, std::string_view arguments = {});
    void line(std::string_view word, std::string_view arguments = {});
    void noteDialogWrites();
    void takeSnapshot();

    std::optional<DriveState> drive_;
    std::filesystem::path file_;
    RecordingWriter writer_;
    std::string text_;  // gathered since the last hand-over
    std::int64_t ticks_ = 0;
    std::int64_t ticksAtCheck_ = -1;
    std::vector<double> snapshot_;  // the dialog fields after the last event
    std::uint32_t randomSnapshot_ = 0;
    std::vector<const CheckedField*> checked_;
};

}  // namespace zt40
