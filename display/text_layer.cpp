#include "text_layer.h"

#include <algorithm>

#include "text_format.h"

namespace zt40 {

TextExtent TextLayer::extentOf(int x, int y, std::string_view utf8) const {
    const int characters = static_cast<int>(characterCount(utf8));
    return {x, y, x + cell_.across(characters), y + cell_.height};
}

bool TextLayer::isFree(const TextExtent& box) const {
    if (!box.insideWindow(clientWidth_, clientHeight_)) return false;
    const auto over = [&](const TextExtent& other) { return box.overlaps(other); };
    return std::none_of(texts_.begin(), texts_.end(), over) && std::none_of(clear_.begin(), clear_.end(), over);
}

std::optional<TextExtent> TextLayer::placeFor(int x, int y, std::string_view utf8, int linesDown) const {
    return placeFor(extentOf(x, y, utf8), linesDown);
}

std::optional<TextExtent> TextLayer::placeFor(TextExtent wanted, int linesDown) const {
    TextExtent box = wanted.movedBy(std::min(0, clientWidth_ - wanted.right), 0);
    for (int line = 0; line <= linesDown; ++line, box = box.movedBy(0, cell_.height)) {
        if (isFree(box)) return box;
    }
    return std::nullopt;
}

}  // namespace zt40
