#pragma once
// The boxes the texts stand in (help, warnings, hints) and what the text
// stage of a frame decided to show: the status lines, the help box and the
// warning boxes, in drawing order.

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace zt40 {

// Up to three lines with their first line's top left at (x, y).
struct TextBox {
    int x = 0;  // px
    int y = 0;  // px
    std::array<std::string, 3> lines;
};

// One line, or two when only the third is empty, or three.
int lineCount(const TextBox& box);

// The rounded outline around a box's lines: 8 px per character, 16 px per line.
struct BoxOutline {
    int left, top, right, bottom;  // px
};
BoxOutline outlineOf(const TextBox& box);

// The help box under the mouse: as wide as its longest line (counted the
// way the box has always counted it), kept inside the window, 40 px below
// the pointer.
TextBox placeHelpBox(const std::array<std::string, 3>& lines, int mouseX, int mouseY, int clientWidth);

inline constexpr int statusLineCount = 7;

struct TextStage {
    bool shown = false;  // false while the texts are hidden
    int statusX = 0;     // px
    int statusY = 0;     // px
    std::array<std::string, statusLineCount> statusLines;
    std::optional<TextBox> help;
    std::vector<TextBox> warnings;  // later ones cover earlier ones
};

}  // namespace zt40
