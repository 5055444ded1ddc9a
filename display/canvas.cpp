#include "canvas.h"

#include <algorithm>

namespace zt40 {

void Canvas::startTexts(TextCell cell, int clientWidth, int clientHeight) {
    const bool changed = cell != layer_.cell();
    layer_ = TextLayer(cell, clientWidth, clientHeight);
    if (changed) useTextCell(cell);
}

void Canvas::playText(TextCell cell, int x, int y, std::string_view utf8, int width, Rgb colour, Rgb background) {
    if (cell != layer_.cell()) startTexts(cell, layer_.clientWidth(), layer_.clientHeight());
    drawText(x, y, utf8, width, colour, background);
}

TextExtent Canvas::text(int x, int y, std::string_view utf8, Rgb colour, Rgb background) {
    const TextExtent box = layer_.extentOf(x, y, utf8);
    drawText(x, y, utf8, box.right - box.left, colour, background);
    layer_.take(box);
    return box;
}

TextExtent Canvas::fittedText(int x, int y, std::string_view utf8, int maxWidth, Rgb colour, Rgb background) {
    TextExtent box = layer_.extentOf(x, y, utf8);
    box.right = std::min(box.right, x + std::max(maxWidth, 1));
    drawText(x, y, utf8, box.right - box.left, colour, background);
    layer_.take(box);
    return box;
}

TextExtent Canvas::textLines(int x, int y, const std::vector<std::string_view>& lines, int pitch, Rgb colour,
                             Rgb background) {
    TextExtent all{x, y, x, y};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int top = y + static_cast<int>(i) * pitch;
        const TextExtent line = layer_.extentOf(x, top, lines[i]);
        drawText(x, top, lines[i], line.right - line.left, colour, background);
        all = {all.left, all.top, std::max(all.right, line.right), std::max(all.bottom, line.bottom)};
    }
    layer_.take(all);
    return all;
}

}  // namespace zt40
