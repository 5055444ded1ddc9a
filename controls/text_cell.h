#pragma once
// The cell every text of the window is set in: a monospaced font whose
// characters each advance exactly one cell, one line high. The layout was
// made for 8 x 16 pixels; window_layout.h decides the cell for a window.

namespace zt40 {

struct TextCell {
    int width = 8;    // px a character
    int height = 16;  // px a line

    // A length the layout gives in pixels of the 8 x 16 cell, in this cell.
    constexpr int scaled(int px) const { return px * width / 8; }
    // A text of `characters` characters, px wide.
    constexpr int across(int characters) const { return characters * width; }
    friend constexpr bool operator==(TextCell, TextCell) = default;
};

inline constexpr TextCell referenceCell{};

}  // namespace zt40
