#pragma once
// The drawing layer: what the window's pictures are drawn with, in client
// pixels, with the semantics the pictures depend on. An arc whose end
// points coincide is a full circle; a pen whose width truncates to 0 draws
// one pixel; text has an opaque background. Each call names its pen and
// brush, so no drawing step inherits another's.

#include <cstdint>
#include <string_view>
#include <vector>

namespace zt40 {

struct Rgb {
    std::uint8_t r, g, b;
};

inline constexpr Rgb black{0, 0, 0};
inline constexpr Rgb white{255, 255, 255};

struct Pen {
    Rgb colour = black;
    int width = 1;  // px; 0 draws 1 pixel
    bool dotted = false;
};

enum class Fill { solid, backDiagonal, none };

struct Brush {
    Rgb colour = white;
    Fill fill = Fill::solid;
};

struct PixelPoint {
    int x;
    int y;
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
    // UTF-8 text with its top left at (x, y), on an opaque background.
    virtual void text(int x, int y, std::string_view utf8, Rgb colour, Rgb background) = 0;
    // The same, narrowed where it would be wider than `maxWidth` px: a
    // label that must stay inside its button.
    virtual void fittedText(int x, int y, std::string_view utf8, int /*maxWidth*/, Rgb colour, Rgb background) {
        text(x, y, utf8, colour, background);
    }
};

}  // namespace zt40
