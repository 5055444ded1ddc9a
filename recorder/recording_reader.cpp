#include "recording_reader.h"

#include <cmath>
#include <limits>
#include <string_view>

namespace zt40 {

namespace {

using namespace recording;

// The longest line a recording has: the configuration's longest line escaped.
constexpr std::size_t maxLineLength = 1 << 22;  // bytes

std::vector<std::string_view> wordsOf(std::string_view line) {
    std::vector<std::string_view> words;
    while (!line.empty()) {
        const std::size_t start = line.find_first_not_of(' ');
        if (start == std::string_view::npos) break;
        line.remove_prefix(start);
        const std::size_t end = line.find(' ');
        words.push_back(line.substr(0, end));
        line.remove_prefix(end == std::string_view::npos ? line.size() : end);
    }
    return words;
}

struct Range {
    std::int64_t low, high;
};

constexpr Range anyPixel{-1000000, 1000000};

const std::pair<std::string_view, LineKind> kindWords[] = {
    {word::key, LineKind::key},         {word::mouse, LineKind::mouse},
    {word::user, LineKind::user},       {word::timer, LineKind::timer},
    {word::size, LineKind::size},       {word::focus, LineKind::focus},
    {word::paint, LineKind::paint},     {word::captureLost, LineKind::captureLost},
    {word::clock, LineKind::clock},     {word::pointer, LineKind::pointer},
    {word::seed, LineKind::seed},       {word::busy, LineKind::busy},
    {word::value, LineKind::value},     {word::random, LineKind::random},
    {word::check, LineKind::check},     {word::end, LineKind::end},
};

bool isHex(std::string_view text) { return text.find_first_not_of("0123456789abcdef") == std::string_view::npos; }

}  // namespace

std::unique_ptr<RecordingReader> RecordingReader::open(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "Die Aufzeichnung \"" + path + "\" lässt sich nicht öffnen.";
        return nullptr;
    }
    std::unique_ptr<RecordingReader> reader(new RecordingReader(std::move(in)));
    if (std::string problem = reader->readHeader(); !problem.empty()) {
        error = "Die Aufzeichnung \"" + path + "\" lässt sich nicht lesen: " + problem;
        return nullptr;
    }
    return reader;
}

bool RecordingReader::nextLine(std::string& line) {
    for (;;) {
        const std::size_t end = buffer_.find('\n', position_);
        if (end != std::string::npos) {
            line.assign(buffer_, position_, end - position_);
            position_ = end + 1;
            ++lineNumber_;
            return true;
        }
        if (buffer_.size() - position_ > maxLineLength) return fail("die Zeile ist zu lang");
        buffer_.erase(0, position_);
        position_ = 0;
        char chunk[65536];
        in_.read(chunk, sizeof chunk);
        const auto got = static_cast<std::size_t>(in_.gcount());
        if (got == 0) {
            // A line without its line end was cut off as it was written.
            if (!buffer_.empty()) cut_ = true;
            return false;
        }
        buffer_.append(chunk, got);
    }
}

bool RecordingReader::fail(const std::string& message) {
    if (error_.empty()) error_ = "Zeile " + std::to_string(lineNumber_ + (lineNumber_ == 0)) + ": " + message + ".";
    return false;
}

std::string RecordingReader::readHeader() {
    std::string line;
    if (!nextLine(line)) return error_.empty() ? "die Datei ist leer oder abgeschnitten." : error_;
    const std::vector<std::string_view> first = wordsOf(line);
    if (first.size() != 2 || first[0] != magic) return "die Datei ist keine Fahrtaufzeichnung des ZT 40.";
    const auto version = parseInteger(first[1]);
    if (!version || *version < 1) return "die Datei ist keine Fahrtaufzeichnung des ZT 40.";
    if (*version > formatVersion) {
        return "sie hat das Format " + std::to_string(*version) +
               " einer neueren Programmversion; dieses Programm liest Format " + std::to_string(formatVersion) +
               ".";
    }
    header_.version = static_cast<int>(*version);

    bool modelSeen = false, seedSeen = false, answerSeen = false, configurationSeen = false, fieldsSeen = false;
    while (nextLine(line)) {
        if (line.empty() || line[0] == '#') continue;
        if (line == std::string(label::drive) + ":") {
            if (!modelSeen || !seedSeen || !answerSeen || !configurationSeen || !fieldsSeen) {
                return "Zeile " + std::to_string(lineNumber_) + ": dem Kopf fehlen Angaben.";
            }
            return {};
        }
        const std::size_t colon = line.find(": ");
        if (colon == std::string::npos) return "Zeile " + std::to_string(lineNumber_) + ": unbekannte Kopfzeile.";
        const std::string_view label(line.data(), colon);
        const std::string value = line.substr(colon + 2);
        const std::vector<std::string_view> words = wordsOf(value);
        const auto bad = [&] { return "Zeile " + std::to_string(lineNumber_) + ": ungültige Angabe „" + std::string(label) + "“."; };
        if (label == label::started) {
            header_.startedAt = value;
        } else if (label == label::program) {
            header_.program = value;
        } else if (label == label::model) {
            if (words.size() != 1) return bad();
            header_.modelDigest = std::string(words[0]);
            modelSeen = true;
        } else if (label == label::seed) {
            const auto seed = words.empty() ? std::nullopt : parseInteger(words[0]);
            if (!seed || *seed < 0 || *seed > 0xffffffffll || words.size() > 2 || (words.size() == 2 && words[1] != "fest")) {
                return bad();
            }
            header_.seed = static_cast<std::uint32_t>(*seed);
            header_.fixedSeed = words.size() == 2;
            seedSeen = true;
        } else if (label == label::question) {
            const auto answer = words.size() == 1 ? answerOf(words[0]) : std::nullopt;
            if (!answer) return bad();
            header_.answer = *answer;
            answerSeen = true;
        } else if (label == label::configuration) {
            configurationSeen = true;
            if (value == "keine") continue;
            const auto count = words.size() == 2 && words[1] == "Zeilen" ? parseInteger(words[0]) : std::nullopt;
            if (!count || *count < 1) return bad();
            std::string bytes;
            for (std::int64_t i = 0; i < *count; ++i) {
                if (!nextLine(line)) return "die Konfiguration ist abgeschnitten.";
                if (line.rfind("K ", 0) != 0 && line != "K") {
                    return "Zeile " + std::to_string(lineNumber_) + ": eine Zeile der Konfiguration fehlt.";
                }
                const auto unescaped = unescapeBytes(std::string_view(line).substr(std::min<std::size_t>(2, line.size())));
                if (!unescaped) return "Zeile " + std::to_string(lineNumber_) + ": ungültige Zeichen in der Konfiguration.";
                if (i > 0) bytes += '\n';
                bytes += *unescaped;
            }
            header_.configuration = std::move(bytes);
        } else if (label == label::checkedFields) {
            for (std::string_view name : words) {
                if (!findCheckedField(name)) {
                    return "Zeile " + std::to_string(lineNumber_) + ": das Feld „" + std::string(name) +
                           "“ kennt dieses Programm nicht.";
                }
                header_.checkedFields.emplace_back(name);
            }
            fieldsSeen = !header_.checkedFields.empty();
        }
        // Other labels are for the reader of the file.
    }
    return error_.empty() ? "die Datei endet im Kopf." : error_;
}

const DriveLine* RecordingReader::peek() {
    if (peeked_) return &*peeked_;
    if (ended_ || !error_.empty()) return nullptr;
    std::string text;
    while (nextLine(text)) {
        if (text.empty() || text[0] == '#') continue;
        DriveLine line;
        if (!parseDriveLine(text, line)) return nullptr;
        if (line.kind == LineKind::end) {
            ended_ = true;
            readEndState();
        }
        peeked_ = std::move(line);
        return &*peeked_;
    }
    if (error_.empty()) cut_ = true;  // no end line: the drive was not finished
    return nullptr;
}

bool RecordingReader::parseDriveLine(const std::string& text, DriveLine& line) {
    const std::vector<std::string_view> w = wordsOf(text);
    line.number = lineNumber_;
    const auto tick = w.size() >= 2 ? parseInteger(w[0]) : std::nullopt;
    if (!tick) return fail("unbekannte Zeile");
    if (*tick < lastTick_) return fail("die Zahl der Takte läuft rückwärts");
    line.tick = lastTick_ = *tick;
    bool known = false;
    for (const auto& [word, kind] : kindWords) {
        if (w[1] == word) line.kind = kind, known = true;
    }
    if (!known) return fail("unbekannter Eintrag „" + std::string(w[1]) + "“");

    // Arguments: their count, then each a number in its range or one of its words.
    const auto arguments = [&](std::size_t count) {
        if (w.size() != count + 2) return fail("falsche Zahl von Angaben");
        return true;
    };
    const auto number = [&](std::size_t index, Range range) {
        const auto value = parseInteger(w[index + 2]);
        if (!value || *value < range.low || *value > range.high) return fail("ungültige Zahl „" + std::string(w[index + 2]) + "“");
        line.arguments[index] = *value;
        return true;
    };
    const auto either = [&](std::string_view yes, std::string_view no) {
        if (w[2] != yes && w[2] != no) return fail("ungültige Angabe „" + std::string(w[2]) + "“");
        line.arguments[0] = w[2] == yes;
        return true;
    };
    switch (line.kind) {
        case LineKind::key: {
            if (!arguments(2)) return false;
            const auto message = keyMessageOf(w[2]);
            if (!message) return fail("unbekannte Tastennachricht „" + std::string(w[2]) + "“");
            line.arguments[0] = static_cast<std::int64_t>(*message);
            return number(1, {0, 255});
        }
        case LineKind::mouse: {
            if (!arguments(4)) return false;
            const auto message = mouseMessageOf(w[2]);
            if (!message) return fail("unbekannte Mausnachricht „" + std::string(w[2]) + "“");
            line.arguments[0] = static_cast<std::int64_t>(*message);
            return number(1, anyPixel) && number(2, anyPixel) && number(3, anyPixel);
        }
        case LineKind::user: return arguments(1) && number(0, {0, 8});
        case LineKind::timer:
            if (!arguments(1) || !number(0, {0, 13})) return false;
            if (line.arguments[0] == 1) return fail("der Haupttakt steht nur in der Zahl vorn");
            return true;
        case LineKind::size: return arguments(2) && number(0, {0, 100000}) && number(1, {0, 100000});
        case LineKind::focus: return arguments(1) && either("ein", "aus");
        case LineKind::pointer: return arguments(1) && either("ja", "nein");
        case LineKind::clock:
            return arguments(1) && number(0, {std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()});
        case LineKind::seed:
        case LineKind::random: return arguments(1) && number(0, {0, 0xffffffffll});
        case LineKind::value: {
            if (!arguments(2)) return false;
            line.field = findDialogField(w[2]);
            if (!line.field) return fail("unbekanntes Feld „" + std::string(w[2]) + "“");
            const auto value = parseNumber(w[3]);
            if (!value || !std::isfinite(*value)) return fail("ungültiger Wert „" + std::string(w[3]) + "“");
            line.value = *value;
            return true;
        }
        case LineKind::check: {
            if (!arguments(2)) return false;
            if (w[2].size() != 16 || !isHex(w[2]) || w[3].size() != 2 * header_.checkedFields.size() || !isHex(w[3])) {
                return fail("ungültige Prüfung");
            }
            line.digest = std::stoull(std::string(w[2]), nullptr, 16);
            line.fieldBytes = std::string(w[3]);
            return true;
        }
        default: return arguments(0);  // paint, capture lost, busy, end
    }
}

void RecordingReader::readEndState() {
    // The end values, then the count that says they are complete.
    EndState state;
    std::string text;
    while (nextLine(text)) {
        const std::vector<std::string_view> w = wordsOf(text);
        if (w.size() == 3 && w[0] == word::endValue) {
            const auto value = parseNumber(w[2]);
            if (!value || !findCheckedField(w[1])) {
                fail("ungültiger Endstand");
                return;
            }
            state.emplace_back(std::string(w[1]), *value);
            continue;
        }
        const auto count = w.size() == 2 && w[0] == word::complete ? parseInteger(w[1]) : std::nullopt;
        if (!count || *count != static_cast<std::int64_t>(state.size())) {
            fail("der Endstand ist unvollständig");
            return;
        }
        endState_ = std::move(state);
        return;
    }
    cut_ = true;  // cut within the end state: there is none to compare
}

}  // namespace zt40
