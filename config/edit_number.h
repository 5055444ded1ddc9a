#pragma once
// Numbers in the edits of the program's dialogs: shown as printf's %i and
// %f, the latter with a decimal comma for German eyes, and read back with
// either a comma or a point. Reading follows atof/atoi (leading blanks
// skipped, stops at the first character that does not fit, nothing readable
// gives 0); an infinity or a NaN counts as unreadable, and whole numbers
// beyond 32 bits saturate.

#include <cstddef>
#include <string>
#include <string_view>

namespace zt40 {

// Characters of an edit's text that are read; the rest is ignored.
inline constexpr std::size_t editTextLimit = 20;

// printf("%f") with its decimal point turned into a comma: 0.25 gives "0,250000".
std::string editTextOf(double value);

// printf("%i").
std::string editTextOf(int value);

// The edit's text as a decimal number: "0,25" and "0.25" both give 0.25.
double editDecimal(std::string_view text);

// The edit's text as a whole number: "1,5" gives 1.
int editInteger(std::string_view text);

}  // namespace zt40
