#include "edit_number.h"

#include "number_text.h"

namespace zt40 {

namespace {

// The text as read from the edit, its first comma taken as the decimal point.
std::string readable(std::string_view text) {
    std::string cut(text.substr(0, editTextLimit));
    acceptDecimalComma(cut);
    return cut;
}

}  // namespace

std::string editTextOf(double value) {
    std::string text = formatFixed(value, 6);
    const std::size_t point = text.find('.');
    if (point != std::string::npos) text[point] = ',';
    return text;
}

std::string editTextOf(int value) { return std::to_string(value); }

double editDecimal(std::string_view text) { return parseDecimal(readable(text)); }

int editInteger(std::string_view text) { return parseInteger(readable(text)); }

}  // namespace zt40
