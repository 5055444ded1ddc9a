#include "text_format.h"

#include <cstdarg>
#include <cstdio>
#include <algorithm>

namespace zt40 {

std::string formatText(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<std::size_t>(length));
        // The terminating zero lands on the string's own terminator.
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    }
    va_end(args);
    return text;
}

std::size_t characterCount(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xc0) != 0x80) ++count;
    }
    return count;
}

std::vector<std::string> wrapText(std::string_view utf8, int maxCharacters) {
    const auto fits = [&](std::string_view text) {
        return characterCount(text) <= static_cast<std::size_t>(std::max(maxCharacters, 0));
    };
    if (fits(utf8)) return {std::string(utf8)};
    std::vector<std::string> lines;
    std::string line;
    std::size_t at = 0;
    while (at < utf8.size()) {
        const std::size_t start = utf8.find_first_not_of(' ', at);
        if (start == std::string_view::npos) break;
        const std::size_t end = std::min(utf8.find(' ', start), utf8.size());
        const std::string_view word = utf8.substr(start, end - start);
        const std::string longer = line.empty() ? std::string(word) : line + " " + std::string(word);
        if (!line.empty() && !fits(longer)) {
            lines.push_back(line);
            line = std::string(word);
        } else {
            line = longer;
        }
        at = end;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

}  // namespace zt40
