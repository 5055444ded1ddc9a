#include "credit_line.h"

#include <array>

namespace zt40 {

CalendarDate buildDate() { return {ZT40_BUILD_YEAR, ZT40_BUILD_MONTH, ZT40_BUILD_DAY}; }

std::string germanDate(CalendarDate date) {
    static constexpr std::array<const char*, 12> months = {
        "Januar", "Februar", "M\xc3\xa4rz",  "April",   "Mai",      "Juni",
        "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
    const char* month = date.month >= 1 && date.month <= 12 ? months[date.month - 1] : "?";
    return std::to_string(date.day) + ". " + month + " " + std::to_string(date.year);
}

const char* creditLine() {
    static const std::string line = "ZT 40 \xc2\xb7 Programmstand vom " + germanDate(buildDate());
    return line.c_str();
}

}  // namespace zt40
