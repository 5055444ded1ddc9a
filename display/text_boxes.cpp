#include "text_boxes.h"

#include <algorithm>

#include "text_format.h"

namespace zt40 {

namespace {

constexpr int marginLeft = 10;         // px of the 8 x 16 cell, left of the lines
constexpr int marginAboveBelow = 5;    // px of the 8 x 16 cell
constexpr int helpLeadPerCharacter = 3;  // px of the 8 x 16 cell the help box starts left of the pointer
constexpr int helpBelowPointer = 40;   // px of the 8 x 16 cell
constexpr int helpFromEdge = 10;       // px of the 8 x 16 cell

int length(const std::string& line) { return static_cast<int>(characterCount(line)); }

}  // namespace

int lineCount(const TextBox& box) {
    if (box.lines[1].empty()) return 1;
    return box.lines[2].empty() ? 2 : 3;
}

TextExtent outlineOf(const TextBox& box, TextCell cell) {
    const int lines = lineCount(box);
    int widest = length(box.lines[0]);
    if (lines > 1) widest = std::max({widest, length(box.lines[1]), length(box.lines[2])});
    return {box.x - cell.scaled(marginLeft), box.y - cell.scaled(marginAboveBelow), box.x + cell.across(widest),
            box.y + cell.scaled(marginAboveBelow) + cell.height * lines};
}

TextBox placeHelpBox(const std::array<std::string, 3>& lines, int mouseX, int mouseY, int clientWidth,
                     TextCell cell) {
    const int p = length(lines[0]), q = length(lines[1]), r = length(lines[2]);
    const int longest = (p > q && p > r) ? p : (q > r ? q : r);
    int x = std::max(mouseX - cell.scaled(helpLeadPerCharacter) * longest, cell.scaled(helpFromEdge));
    if (x + cell.across(longest) > clientWidth) x = clientWidth - cell.across(longest);
    return TextBox{x, mouseY + cell.scaled(helpBelowPointer), lines};
}

std::optional<TextBox> freePlaceOf(const TextBox& box, const TextLayer& layer) {
    const TextExtent outline = outlineOf(box, layer.cell());
    // Into the window's width first: a box is never wider than it needs.
    const int dx = std::max(-outline.left, std::min(0, layer.clientWidth() - outline.right));
    const TextExtent inside = outline.movedBy(dx, 0);
    const int step = layer.cell().height;  // px
    const auto at = [&](int dy) {
        TextBox moved = box;
        moved.x += dx;
        moved.y += dy;
        return moved;
    };
    for (int dy = 0; inside.bottom + dy <= layer.clientHeight(); dy += step) {
        if (layer.isFree(inside.movedBy(0, dy))) return at(dy);
    }
    for (int dy = -step; inside.top + dy >= 0; dy -= step) {
        if (layer.isFree(inside.movedBy(0, dy))) return at(dy);
    }
    return std::nullopt;
}

}  // namespace zt40
