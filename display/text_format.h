#pragma once
// Formatting of the window's texts: printf semantics into a string of the
// size the result needs, and the length of a text in characters as the
// box geometry counts them (the sources are UTF-8; "ü", "°", "²" and "Ø"
// are one character each).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zt40 {

#if defined(__GNUC__)
#define ZT40_PRINTF_FORMAT(f, a) __attribute__((format(printf, f, a)))
#else
#define ZT40_PRINTF_FORMAT(f, a)
#endif

// printf into a string; "%%" prints one percent sign, infinities and NaNs
// print as the C library prints them.
std::string formatText(const char* format, ...) ZT40_PRINTF_FORMAT(1, 2);

// Characters of a UTF-8 text: every byte that does not continue a sequence.
std::size_t characterCount(std::string_view utf8);

// A text on as few lines of at most `maxCharacters` as its blanks allow:
// the text itself where it fits, else broken at blanks, which a break
// swallows. A word longer than a line stands on a line of its own.
std::vector<std::string> wrapText(std::string_view utf8, int maxCharacters);

}  // namespace zt40
