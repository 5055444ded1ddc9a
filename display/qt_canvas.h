#pragma once
// The drawing layer on a QPainter.

#include <QPainter>

#include "canvas.h"

namespace zt40 {

class QtCanvas final : public Canvas {
public:
    explicit QtCanvas(QPainter& painter) : painter_(painter) {}

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
    void text(int x, int y, std::string_view utf8, Rgb colour, Rgb background) override;

private:
    void use(const Pen& pen, const Brush& brush);

    QPainter& painter_;
};

}  // namespace zt40
