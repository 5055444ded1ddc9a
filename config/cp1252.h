#pragma once
// The configuration file is written in Windows code page 1252; our sources
// are UTF-8. The labels need only Latin-1 letters (°, ä, ö, Ü), which code
// page 1252 holds at their Unicode values.

#include <string>
#include <string_view>

namespace zt40 {

// UTF-8 text with characters up to U+00FF to one byte each; anything else
// becomes "?".
std::string toCp1252(std::string_view utf8);

}  // namespace zt40
