#pragma once
// The line naming the program's build, drawn at the foot of every frame,
// and the build date it names (that of the sources, not of the machine's
// clock).

#include <string>

namespace zt40 {

struct CalendarDate {
    int year;
    int month;  // 1 to 12
    int day;    // 1 to 31
};

CalendarDate buildDate();

// A date as German writes it out: "8. Dezember 2026" (UTF-8).
std::string germanDate(CalendarDate date);

// The credit line in UTF-8: "ZT 40 · Programmstand vom 8. Dezember 2026".
const char* creditLine();

}  // namespace zt40
