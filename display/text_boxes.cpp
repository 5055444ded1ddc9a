#include "text_boxes.h"

#include <algorithm>

#include "text_format.h"

namespace zt40 {

namespace {

constexpr int charWidth = 8;    // px
constexpr int lineHeight = 16;  // px

int length(const std::string& line) { return static_cast<int>(characterCount(line)); }

}  // namespace

int lineCount(const TextBox& box) {
    if (box.lines[1].empty()) return 1;
    return box.lines[2].empty() ? 2 : 3;
}

BoxOutline outlineOf(const TextBox& box) {
    const int lines = lineCount(box);
    int widest = length(box.lines[0]);
    if (lines > 1) widest = std::max({widest, length(box.lines[1]), length(box.lines[2])});
    return {box.x - 10, box.y - 5, box.x + charWidth * widest, box.y + 5 + lineHeight * lines};
}

TextBox placeHelpBox(const std::array<std::string, 3>& lines, int mouseX, int mouseY, int clientWidth) {
    const int p = length(lines[0]), q = length(lines[1]), r = length(lines[2]);
    const int longest = (p > q && p > r) ? p : (q > r ? q : r);
    int x = std::max(mouseX - 3 * longest, 10);
    if (x + charWidth * longest > clientWidth) x = clientWidth - charWidth * longest;
    return TextBox{x, mouseY + 40, lines};
}

}  // namespace zt40
