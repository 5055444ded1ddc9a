#pragma once
// The drawing layer as an SVG picture, written as plain text: a strip or
// a frame drawn onto it prints at any size. Pixels become SVG user units;
// text is set in a monospaced font of the window's 8 x 16 cell.

#include <string>

#include "canvas.h"

namespace zt40 {

class SvgCanvas final : public Canvas {
public:
    SvgCanvas(int width, int height);

    void line(PixelPoint from, PixelPoint to, const Pen& pen) override;
    void polyline(const std::vector<PixelPoint>& points, const Pen& pen) override;
    void rectangle(int left, int top, int right, int bottom, const Pen& pen, const Brush& brush) override;
    void ellipse(int left, int top, int right, int bottom, const Pen& pen, const Brush& brush) override;
    void roundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight, const Pen& pen,
                   const Brush& brush) override;
    void polygon(const std::vector<PixelPoint>& points, const Pen& pen, const Brush& brush) override;
    void arc(int left, int top, int right, int bottom, PixelPoint start, PixelPoint end, const Pen& pen) override;
    void chord(int left, int top, int right, int bottom, PixelPoint start, PixelPoint end, const Pen& pen,
               const Brush& brush) override;

    // The whole document.
    std::string document() const;

protected:
    void drawText(int x, int y, std::string_view utf8, int width, Rgb colour, Rgb background) override;

private:
    void arcPath(int left, int top, int right, int bottom, PixelPoint start, PixelPoint end, bool closed,
                 const Pen& pen, const Brush* brush);

    int width_, height_;
    std::string body_;
};

}  // namespace zt40
