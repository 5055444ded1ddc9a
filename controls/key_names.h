#pragma once
// The driving keys by name: as the window's hints name them ("Strg",
// "links", "Bild auf" written "BildAuf", "+" of the numeric pad written
// "Num+"), or by their English names ("Ctrl", "Left", "PageUp"); letters
// by themselves. Case does not matter.

#include <optional>
#include <string_view>

namespace zt40 {

// The virtual key of a name; none for a name no key has.
std::optional<int> virtualKeyNamed(std::string_view name);

}  // namespace zt40
