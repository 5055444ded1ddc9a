#pragma once
// The boxes the texts stand in (help, warnings, hints) and what the text
// stage of a frame decided to show: the status lines, the help box and the
// warning boxes, in drawing order and at their places in the frame's text
// cell.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "text_layer.h"

namespace zt40 {

// Up to three lines with their first line's top left at (x, y).
struct TextBox {
    int x = 0;  // px
    int y = 0;  // px
    std::array<std::string, 3> lines;
};

// One line, or two when only the third is empty, or three.
int lineCount(const TextBox& box);

// The rounded outline around a box's lines: a cell per character of its
// widest line, a cell's height per line, and a margin of 10 by 5 pixels of
// the 8 x 16 cell.
TextExtent outlineOf(const TextBox& box, TextCell cell = referenceCell);

// The help box under the mouse: as wide as its longest line (counted the
// way the box has always counted it), 3 pixels of the 8 x 16 cell a
// character left of the pointer and kept inside the window's width, 40
// such pixels below the pointer.
TextBox placeHelpBox(const std::array<std::string, 3>& lines, int mouseX, int mouseY, int clientWidth,
                     TextCell cell = referenceCell);

// A box moved where it covers nothing `layer` has taken: where it is, or
// inside the window the nearest place straight below, or above, a line at
// a time; none when there is no such place.
std::optional<TextBox> freePlaceOf(const TextBox& box, const TextLayer& layer);

inline constexpr int statusLineCount = 7;

// One line of text with its top left.
struct PlacedLine {
    int x = 0;  // px
    int y = 0;  // px
    std::string text;
};

struct TextStage {
    bool shown = false;  // false while the texts are hidden
    TextCell cell;
    std::vector<PlacedLine> statusLines;
    std::optional<TextBox> help;
    std::vector<TextBox> warnings;  // later ones lie below earlier ones
};

}  // namespace zt40
