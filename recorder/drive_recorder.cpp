#include "drive_recorder.h"

#include <cinttypes>
#include <cstdio>

#include "model_digest.h"

namespace zt40 {

namespace {

using namespace recording;

std::string numbers(std::initializer_list<std::int64_t> values) {
    std::string text;
    for (const std::int64_t value : values) {
        if (!text.empty()) text += ' ';
        text += std::to_string(value);
    }
    return text;
}

}  // namespace

std::optional<std::string> DriveRecorder::begin(const std::filesystem::path& file, const DriveStart& start,
                                                DriveState drive) {
    if (auto problem = writer_.open(file)) return problem;
    file_ = file;
    drive_.emplace(drive);
    ticks_ = 0;
    ticksAtCheck_ = -1;
    checked_.clear();
    for (const CheckedField& field : checkedFields()) checked_.push_back(&field);

    text_ = std::string(magic) + " " + std::to_string(formatVersion) + "\n";
    text_ += "# Fahrtenschreiber des ZT 40: die Eingaben einer Fahrt, eine Änderung je Zeile,\n"
             "# vorn die Zahl der Haupttakte bis dahin. Wiedergabe im Fenster: zt40 --replay DATEI;\n"
             "# ohne Fenster: zt40-sim --replay DATEI [--check].\n";
    const auto header = [&](std::string_view label, const std::string& value) {
        text_ += std::string(label) + ": " + value + "\n";
    };
    header(label::started, start.startedAt);
    header(label::program, "ZT 40 " ZT40_VERSION);
    header(label::model, std::string(modelDigest));
    header(label::seed, std::to_string(start.seed) + (start.fixedSeed ? " fest" : ""));
    header(label::question, std::string(answerWord(start.answer)));
    if (start.configuration) {
        // One recording line per line of the file, its bytes escaped.
        std::vector<std::string_view> lines;
        std::string_view rest = *start.configuration;
        for (std::size_t end; (end = rest.find('\n')) != std::string_view::npos; rest.remove_prefix(end + 1)) {
            lines.push_back(rest.substr(0, end));
        }
        lines.push_back(rest);
        header(label::configuration, std::to_string(lines.size()) + " Zeilen");
        for (std::string_view configurationLine : lines) text_ += "K " + escapeBytes(configurationLine) + "\n";
    } else {
        header(label::configuration, "keine");
    }
    std::string names;
    for (const CheckedField* field : checked_) names += (names.empty() ? "" : " ") + field->name;
    header(label::checkedFields, names);
    text_ += std::string(label::drive) + ":\n";
    takeSnapshot();
    writer_.handOver(text_);
    return std::nullopt;
}

void DriveRecorder::line(std::string_view word, std::string_view arguments) {
    char stamp[24];
    std::snprintf(stamp, sizeof stamp, "%" PRId64 " ", ticks_);
    text_ += stamp;
    text_ += word;
    if (!arguments.empty()) {
        text_ += ' ';
        text_ += arguments;
    }
    text_ += '\n';
}

void DriveRecorder::event(std::string_view word, std::string_view arguments) {
    noteDialogWrites();
    line(word, arguments);
}

void DriveRecorder::key(KeyMessage message, int virtualKey) {
    if (!drive_) return;
    event(word::key, std::string(keyMessageWord(message)) + " " + std::to_string(virtualKey));
}

void DriveRecorder::mouse(MouseMessage message, int x, int y, int wheelOrRepeat) {
    if (!drive_) return;
    event(word::mouse, std::string(mouseMessageWord(message)) + " " + numbers({x, y, wheelOrRepeat}));
}

void DriveRecorder::user(int offset) {
    if (!drive_) return;
    event(word::user, std::to_string(offset));
}

void DriveRecorder::timer(int id) {
    if (!drive_) return;
    noteDialogWrites();
    if (id == timer::mainTick) ++ticks_;
    else line(word::timer, std::to_string(id));
}

void DriveRecorder::size(int width, int height) {
    if (!drive_) return;
    event(word::size, numbers({width, height}));
}

void DriveRecorder::focus(bool gained) {
    if (!drive_) return;
    event(word::focus, gained ? "ein" : "aus");
}

void DriveRecorder::paint() {
    if (drive_) event(word::paint);
}

void DriveRecorder::captureLost() {
    if (drive_) event(word::captureLost);
}

void DriveRecorder::afterEvent() {
    if (drive_) takeSnapshot();
}

void DriveRecorder::clock(std::int64_t ms) {
    if (drive_) line(word::clock, std::to_string(ms));
}

void DriveRecorder::pointerPlaced(bool placed) {
    if (drive_) line(word::pointer, placed ? "ja" : "nein");
}

void DriveRecorder::seed(std::uint32_t seed) {
    if (drive_) line(word::seed, std::to_string(seed));
}

void DriveRecorder::busy() {
    if (drive_) line(word::busy);
}

void DriveRecorder::dialogOpened() {
    if (!drive_) return;
    noteDialogWrites();
    takeSnapshot();
}

void DriveRecorder::takeSnapshot() {
    const std::vector<RecordedField>& fields = dialogFields();
    snapshot_.resize(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) snapshot_[i] = fields[i].get(drive_->record, drive_->settings);
    randomSnapshot_ = drive_->random.state();
}

void DriveRecorder::noteDialogWrites() {
    // Whatever changed since the engine last had the drive came from a dialog.
    const std::vector<RecordedField>& fields = dialogFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const double now = fields[i].get(drive_->record, drive_->settings);
        if (sameValue(now, snapshot_[i])) continue;
        line(word::value, fields[i].name + " " + exactNumber(now));
        snapshot_[i] = now;
    }
    if (drive_->random.state() != randomSnapshot_) {
        randomSnapshot_ = drive_->random.state();
        line(word::random, std::to_string(randomSnapshot_));
    }
}

void DriveRecorder::flush() {
    if (!drive_) return;
    noteDialogWrites();
    if (ticks_ != ticksAtCheck_ || !text_.empty()) {
        const StateDigest digest = digestOf(checked_, {drive_->record, drive_->settings, drive_->random});
        char whole[20];
        std::snprintf(whole, sizeof whole, "%016" PRIx64, digest.whole);
        line(word::check, std::string(whole) + " " + digest.fieldBytes);
        ticksAtCheck_ = ticks_;
    }
    writer_.handOver(text_);
}

void DriveRecorder::finish() {
    if (!drive_) return;
    noteDialogWrites();
    line(word::end);
    const ConstDriveState drive{drive_->record, drive_->settings, drive_->random};
    for (const CheckedField* field : checked_) {
        text_ += std::string(word::endValue) + " " + field->name + " " + exactNumber(field->read(drive)) + "\n";
    }
    text_ += std::string(word::complete) + " " + std::to_string(checked_.size()) + "\n";
    writer_.handOver(text_);
    writer_.close();
    drive_.reset();
}

}  // namespace zt40
