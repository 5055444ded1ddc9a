#pragma once
// The drawing layer on a QPainter.

#include <QFont>
#include <QPainter>
#include <utility>
#include <vector>

#include "canvas.h"

namespace zt40 {

// The window's text font: the built-in DejaVu Sans Mono at 8 x 16 pixels
// per character. Loaded on first use; the window calls it once on the GUI
// thread before the first frame.
const QFont& textFont();

// The same font for another text cell: each character advances exactly
// the cell's width, and a line is no higher than the cell.
QFont textFont(TextCell cell);

// The fonts of the cells a painter has needed so far: finding the size for
// a cell measures the font at every size down from the largest.
class TextFonts {
public:
    const QFont& forCell(TextCell cell);

private:
    std::vector<std::pair<TextCell, QFont>> fonts_;
};

class QtCanvas final : public Canvas {
public:
    // Text fonts are looked up in `fonts` where given.
    explicit QtCanvas(QPainter& painter, TextFonts* fonts = nullptr) : painter_(painter), fonts_(fonts) {
        painter_.setFont(textFont());
    }

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

protected:
    void drawText(int x, int y, std::string_view utf8, int width, Rgb colour, Rgb background) override;
    void useTextCell(TextCell cell) override { painter_.setFont(fonts_ ? fonts_->forCell(cell) : textFont(cell)); }

private:
    void use(const Pen& pen, const Brush& brush);

    QPainter& painter_;
    TextFonts* fonts_;
};

}  // namespace zt40
