#include "recording_format.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace zt40::recording {

namespace {

constexpr std::pair<KeyMessage, std::string_view> keyWords[] = {
    {KeyMessage::keyDown, "ab"}, {KeyMessage::keyUp, "auf"},
    {KeyMessage::sysKeyDown, "sysab"}, {KeyMessage::sysKeyUp, "sysauf"}};
constexpr std::pair<MouseMessage, std::string_view> mouseWords[] = {
    {MouseMessage::move, "bewegt"},          {MouseMessage::leftDown, "links"},
    {MouseMessage::leftUp, "linksauf"},      {MouseMessage::leftDoubleClick, "doppel"},
    {MouseMessage::rightDown, "rechts"},     {MouseMessage::rightUp, "rechtsauf"},
    {MouseMessage::wheel, "rad"},            {MouseMessage::repeat, "wiederholung"}};

template <class Message, std::size_t n>
std::string_view wordOf(const std::pair<Message, std::string_view> (&table)[n], Message message) {
    for (const auto& [m, word] : table) {
        if (m == message) return word;
    }
    return "?";
}

template <class Message, std::size_t n>
std::optional<Message> messageOf(const std::pair<Message, std::string_view> (&table)[n], std::string_view word) {
    for (const auto& [m, w] : table) {
        if (w == word) return m;
    }
    return std::nullopt;
}

}  // namespace

std::string_view keyMessageWord(KeyMessage message) { return wordOf(keyWords, message); }
std::optional<KeyMessage> keyMessageOf(std::string_view word) { return messageOf(keyWords, word); }
std::string_view mouseMessageWord(MouseMessage message) { return wordOf(mouseWords, message); }
std::optional<MouseMessage> mouseMessageOf(std::string_view word) { return messageOf(mouseWords, word); }

std::string_view answerWord(StartAnswer answer) {
    switch (answer) {
        case StartAnswer::yes: return "ja";
        case StartAnswer::no: return "nein";
        default: return "keine";
    }
}

std::optional<StartAnswer> answerOf(std::string_view word) {
    for (StartAnswer answer : {StartAnswer::none, StartAnswer::yes, StartAnswer::no}) {
        if (word == answerWord(answer)) return answer;
    }
    return std::nullopt;
}

std::string exactNumber(double value) {
    char text[64];
    // Whole numbers of the double's exact range read back from decimal.
    constexpr double exactIntegers = 9007199254740992.0;  // 2^53
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < exactIntegers &&
        !(value == 0.0 && std::signbit(value))) {
        std::snprintf(text, sizeof text, "%.0f", value);
    } else {
        std::snprintf(text, sizeof text, "%a", value);
    }
    return text;
}

std::optional<double> parseNumber(std::string_view text) {
    if (text.empty() || text.size() > 60) return std::nullopt;
    const std::string copy(text);
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size()) return std::nullopt;
    return value;
}

std::optional<std::int64_t> parseInteger(std::string_view text) {
    if (text.empty() || text.size() > 20) return std::nullopt;
    const std::string copy(text);
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(copy.c_str(), &end, 10);
    if (end != copy.c_str() + copy.size() || errno == ERANGE) return std::nullopt;
    return value;
}

std::string escapeBytes(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && byte != '\\') {
            text += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            text += escaped;
        }
    }
    return text;
}

std::optional<std::string> unescapeBytes(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    const auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        if (i + 3 >= text.size() || text[i + 1] != 'x') return std::nullopt;
        const int high = hex(text[i + 2]), low = hex(text[i + 3]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes += static_cast<char>(high * 16 + low);
        i += 3;
    }
    return bytes;
}

}  // namespace zt40::recording
