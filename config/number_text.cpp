#include "number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace zt40 {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The text after leading white space and an optional sign; `negative` tells the sign.
std::string_view unsignedPart(std::string_view text, bool& negative) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    return text.substr(i);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double parseDecimal(std::string_view text) {
    bool negative = false;
    const std::string_view digits = unsignedPart(text, negative);
    // Only plain decimal notation: no hexadecimal, infinity or NaN.
    if (digits.empty() || !(isDigit(digits[0]) || (digits[0] == '.' && digits.size() > 1 && isDigit(digits[1])))) {
        return 0.0;
    }
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::general);
    if (error != std::errc{} || !std::isfinite(value)) return 0.0;
    (void)end;
    return negative ? -value : value;
}

int parseInteger(std::string_view text) {
    bool negative = false;
    const std::string_view digits = unsignedPart(text, negative);
    std::int64_t value = 0;
    for (char c : digits) {
        if (!isDigit(c)) break;
        value = value * 10 + (c - '0');
        if (value > std::int64_t{1} << 32) break;  // far beyond 32 bits already
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

void acceptDecimalComma(std::string& text) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) return;
    const std::size_t point = text.find('.');
    if (point != std::string::npos && point < comma) return;
    text[comma] = '.';
}

std::string formatFixed(double value, int precision, int width) {
    std::array<char, 400> buffer{};  // %f of the largest double has 309 digits
    const auto [end, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, precision);
    std::string text = error == std::errc{} ? std::string(buffer.data(), end) : std::string("0");
    if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), ' ');
    return text;
}

}  // namespace zt40
