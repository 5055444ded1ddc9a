#pragma once
// The texts of one frame: the cell they are set in, the window they are to
// stay inside, and the boxes taken so far, by texts and by drawings that
// texts are to leave free. Every text drawn on a canvas is kept here, so a
// text placed later can find where it covers no earlier one.

#include <optional>
#include <string_view>
#include <vector>

#include "text_cell.h"

namespace zt40 {

// The box a text covers, px; right and bottom exclusive.
struct TextExtent {
    int left, top, right, bottom;

    bool overlaps(const TextExtent& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
    bool insideWindow(int width, int height) const {
        return left >= 0 && top >= 0 && right <= width && bottom <= height;
    }
    TextExtent movedBy(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
};

class TextLayer {
public:
    TextLayer() = default;
    TextLayer(TextCell cell, int clientWidth, int clientHeight)
        : cell_(cell), clientWidth_(clientWidth), clientHeight_(clientHeight) {}

    TextCell cell() const { return cell_; }
    int clientWidth() const { return clientWidth_; }    // px
    int clientHeight() const { return clientHeight_; }  // px

    // The box a one-line text would cover with its top left at (x, y): a
    // cell for each character.
    TextExtent extentOf(int x, int y, std::string_view utf8) const;

    // A text drawn there.
    void take(const TextExtent& box) { texts_.push_back(box); }
    // A drawing that texts placed later are to leave free.
    void keepClear(const TextExtent& area) { clear_.push_back(area); }
    // Whether a box lies inside the window, over no text taken and no area
    // kept clear.
    bool isFree(const TextExtent& box) const;
    // Where a one-line text wanted with its top left at (x, y) can stand:
    // moved left as far as it runs over the window's right edge, and where
    // it covers something, the nearest place up to `linesDown` lines
    // further down; none when there is no such place.
    std::optional<TextExtent> placeFor(int x, int y, std::string_view utf8, int linesDown = 0) const;
    // The same for a box.
    std::optional<TextExtent> placeFor(TextExtent wanted, int linesDown = 0) const;

    // The boxes of the texts, in drawing order.
    const std::vector<TextExtent>& texts() const { return texts_; }

private:
    TextCell cell_ = referenceCell;
    int clientWidth_ = 0, clientHeight_ = 0;
    std::vector<TextExtent> texts_;
    std::vector<TextExtent> clear_;
};

}  // namespace zt40
