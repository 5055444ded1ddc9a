#pragma once
// The drawing layer: what the window's pictures are drawn with, in client
// pixels, with the semantics the pictures depend on. An arc whose end
// points coincide is a full circle; a pen whose width truncates to 0 draws
// one pixel; text has an opaque background. Each call names its pen and
// brush, so no drawing step inherits another's.
//
// Every text goes through the text layer of the canvas: it is set in the
// frame's text cell, and the canvas keeps the box it covers, so that a
// later text can be placed where it covers no earlier one.

#include <cstdint>
#include <string_view>
#include <vector>

#include "text_layer.h"

namespace zt40 {

struct Rgb {
    std::uint8_t r, g, b;
    friend bool operator==(Rgb, Rgb) = default;
};

inline constexpr Rgb black{0, 0, 0};
inline constexpr Rgb white{255, 255, 255};

struct Pen {
    Rgb colour = black;
    int width = 1;  // px; 0 draws 1 pixel
    bool dotted = false;
    friend bool operator==(const Pen&, const Pen&) = default;
};

enum class Fill { solid, backDiagonal, none };

struct Brush {
    Rgb colour = white;
    Fill fill = Fill::solid;
    friend bool operator==(const Brush&, const Brush&) = default;
};

struct PixelPoint {
    int x;
    int y;
    friend bool operator==(PixelPoint, PixelPoint) = default;
};

class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void line(PixelPoint from, PixelPoint to, const Pen& pen) = 0;
    virtual void polyline(const std::vector<PixelPoint>& points, const Pen& pen) = 0;
    // Filled shapes: corners as GDI gives them, right and bottom exclusive.
    virtual void rectangle(int left, int top, int right, int bottom, const Pen& pen, const Brush& brush) = 0;
    virtual void ellipse(int left, int top, int right, int bottom, const Pen& pen, const Brush& brush) = 0;
    virtual void roundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight,
                           const Pen& pen, const Brush& brush) = 0;
    virtual void polygon(const std::vector<PixelPoint>& points, const Pen& pen, const Brush& brush) = 0;
    // Counter-clockwise from the ray through `start` to the ray through `end`
    // on the ellipse in the box; a full circle when they coincide.
    virtual void arc(int left, int top, int right, int bottom, PixelPoint start, PixelPoint end, const Pen& pen) = 0;
    virtual void chord(int left, int top, int right, int bottom, PixelPoint start, PixelPoint end, const Pen& pen,
                       const Brush& brush) = 0;

    // The texts of a frame: set in `cell` from here on, in a window of
    // that client size; the boxes kept so far are forgotten.
    void startTexts(TextCell cell, int clientWidth, int clientHeight);
    // The frame's texts so far and the areas they are to leave free.
    const TextLayer& texts() const { return layer_; }
    TextCell textCell() const { return layer_.cell(); }
    // UTF-8 text with its top left at (x, y), on an opaque background; the
    // box it covers.
    TextExtent text(int x, int y, std::string_view utf8, Rgb colour, Rgb background);
    // The same, narrowed where it would be wider than `maxWidth` px: a
    // label that must stay inside its button.
    TextExtent fittedText(int x, int y, std::string_view utf8, int maxWidth, Rgb colour, Rgb background);
    // The lines of one text, `pitch` px apart from (x, y) down; one box
    // around them all.
    TextExtent textLines(int x, int y, const std::vector<std::string_view>& lines, int pitch, Rgb colour,
                         Rgb background);
    // A drawing that texts drawn later are to leave free.
    void keepClear(const TextExtent& area) { layer_.keepClear(area); }
    // A text played back as it was drawn before: set in `cell`, `width` px
    // wide, its box kept nowhere.
    void playText(TextCell cell, int x, int y, std::string_view utf8, int width, Rgb colour, Rgb background);

protected:
    // Draws a text of `width` px in the current cell, narrowed to it where
    // the font would run wider.
    virtual void drawText(int x, int y, std::string_view utf8, int width, Rgb colour, Rgb background) = 0;
    // The cell changed: later texts are set in it.
    virtual void useTextCell(TextCell /*cell*/) {}

private:
    TextLayer layer_;
};

}  // namespace zt40
