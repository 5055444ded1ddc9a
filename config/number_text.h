#pragma once
// Numbers in the configuration file: read with the C library's atof/atoi
// semantics and written with printf's %f and %i, but independent of the
// user's locale (the window toolkit sets it, and a German locale would turn
// every decimal point into a comma).

#include <string>
#include <string_view>

namespace zt40 {

// atof: skips leading white space, reads the longest decimal number, stops
// at the first character that does not fit; nothing readable, an infinity
// or a NaN gives 0.
double parseDecimal(std::string_view text);

// atoi: the same for a whole number; values beyond 32 bits saturate.
int parseInteger(std::string_view text);

// The decimal comma rule: the first "," becomes "." unless a "." comes first.
void acceptDecimalComma(std::string& text);

// printf("%*.*f", width, precision, value).
std::string formatFixed(double value, int precision, int width = 0);

}  // namespace zt40
