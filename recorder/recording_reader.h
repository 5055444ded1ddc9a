#pragma once
// Reads a drive recording: the header, then the drive line by line as the
// replay asks for it. A recording cut off anywhere (a crash, a full disk)
// reads up to its last complete line; a line that is not one of ours, or
// one whose values no drive could have, stops the reading with its
// number and what is wrong, in German.

#include <cstdint>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "recorded_fields.h"
#include "recording_format.h"

namespace zt40 {

struct RecordingHeader {
    int version = 0;
    std::string startedAt;
    std::string program;
    std::string modelDigest;
    std::uint32_t seed = 1;
    bool fixedSeed = false;
    recording::StartAnswer answer = recording::StartAnswer::none;
    std::optional<std::string> configuration;
    std::vector<std::string> checkedFields;
};

enum class LineKind {
    key, mouse, user, timer, size, focus, paint, captureLost,  // events
    clock, pointer, seed, busy,                                // answers
    value, random,                                             // dialogs' writes
    check, end
};

struct DriveLine {
    int number = 0;  // in the file
    std::int64_t tick = 0;
    LineKind kind = LineKind::paint;
    std::int64_t arguments[4] = {};  // message, key, coordinates, ids, sizes, answers as numbers
    double value = 0.0;
    const RecordedField* field = nullptr;  // of a dialog's write
    std::uint64_t digest = 0;              // of a checkpoint
    std::string fieldBytes;                // of a checkpoint
};

// The end state as recorded: field name and value.
using EndState = std::vector<std::pair<std::string, double>>;

class RecordingReader {
public:
    // Opens the file and reads its header; `error` (German) when it cannot.
    static std::unique_ptr<RecordingReader> open(const std::string& path, std::string& error);

    const RecordingHeader& header() const { return header_; }

    // The next line of the drive without taking it; null at the end (or
    // at a bad line: then `error()` says why).
    const DriveLine* peek();
    void take() { peeked_.reset(); }

    // After the end line: the end state, when the file holds all of it.
    const std::optional<EndState>& endState() const { return endState_; }
    // The file ended before its end line, or inside a line.
    bool cut() const { return cut_; }
    const std::string& error() const { return error_; }

private:
    explicit RecordingReader(std::ifstream in) : in_(std::move(in)) {}
    // The next complete line; false at the end of the file or of its last complete line.
    bool nextLine(std::string& line);
    std::string readHeader();
    bool parseDriveLine(const std::string& text, DriveLine& line);
    void readEndState();
    bool fail(const std::string& message);

    std::ifstream in_;
    std::string buffer_;  // read ahead from the file
    std::size_t position_ = 0;
    int lineNumber_ = 0;
    RecordingHeader header_;
    std::optional<DriveLine> peeked_;
    std::int64_t lastTick_ = 0;
    bool ended_ = false;
    bool cut_ = false;
    std::optional<EndState> endState_;
    std::string error_;
};

}  // namespace zt40
