#include "svg_canvas.h"

#include <cmath>

#include "text_format.h"

namespace zt40 {

namespace {

std::string colourOf(Rgb c) { return formatText("#%02x%02x%02x", c.r, c.g, c.b); }

std::string stroke(const Pen& pen) {
    std::string text = " stroke=\"" + colourOf(pen.colour) + "\" stroke-width=\"" +
                       std::to_string(pen.width > 0 ? pen.width : 1) + "\"";
    if (pen.dotted) text += " stroke-dasharray=\"1 2\"";
    return text;
}

std::string fill(const Brush* brush) {
    if (!brush || brush->fill == Fill::none) return " fill=\"none\"";
    return " fill=\"" + colourOf(brush->colour) + "\"";
}

std::string points(const std::vector<PixelPoint>& points) {
    // Appended piece by piece: GCC 12 at -O3 takes " " + a temporary
    // string for an overlapping copy that cannot happen.
    std::string text;
    for (const PixelPoint& p : points) {
        if (!text.empty()) text += ' ';
        text += std::to_string(p.x);
        text += ',';
        text += std::to_string(p.y);
    }
    return text;
}

std::string escaped(std::string_view utf8) {
    std::string text;
    for (const char c : utf8) {
        switch (c) {
            case '&': text += "&amp;"; break;
            case '<': text += "&lt;"; break;
            case '>': text += "&gt;"; break;
            case '"': text += "&quot;"; break;
            default: text += c;
        }
    }
    return text;
}

constexpr int cellHeight = 16;  // px of one line of the 8 x 16 cell

}  // namespace

SvgCanvas::SvgCanvas(int width, int height) : width_(width), height_(height) {}

void SvgCanvas::line(PixelPoint from, PixelPoint to, const Pen& pen) {
    body_ += formatText("<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\"", from.x, from.y, to.x, to.y) + stroke(pen) +
             "/>\n";
}

void SvgCanvas::polyline(const std::vector<PixelPoint>& p, const Pen& pen) {
    if (p.size() < 2) return;
    body_ += "<polyline points=\"" + points(p) + "\" fill=\"none\"" + stroke(pen) + "/>\n";
}

void SvgCanvas::rectangle(int left, int top, int right, int bottom, const Pen& pen, const Brush& brush) {
    body_ += formatText("<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\"", left, top, right - left - 1,
                        bottom - top - 1) +
             fill(&brush) + stroke(pen) + "/>\n";
}

void SvgCanvas::ellipse(int left, int top, int right, int bottom, const Pen& pen, const Brush& brush) {
    body_ += formatText("<ellipse cx=\"%g\" cy=\"%g\" rx=\"%g\" ry=\"%g\"", (left + right - 1) / 2.0,
                        (top + bottom - 1) / 2.0, (right - left - 1) / 2.0, (bottom - top - 1) / 2.0) +
             fill(&brush) + stroke(pen) + "/>\n";
}

void SvgCanvas::roundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight, const Pen& pen,
                          const Brush& brush) {
    body_ += formatText("<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" rx=\"%g\" ry=\"%g\"", left, top,
                        right - left - 1, bottom - top - 1, cornerWidth / 2.0, cornerHeight / 2.0) +
             fill(&brush) + stroke(pen) + "/>\n";
}

void SvgCanvas::polygon(const std::vector<PixelPoint>& p, const Pen& pen, const Brush& brush) {
    if (p.empty()) return;
    body_ += "<polygon points=\"" + points(p) + "\"" + fill(&brush) + stroke(pen) + "/>\n";
}

void SvgCanvas::arcPath(int left, int top, int right, int bottom, PixelPoint start, PixelPoint end, bool closed,
                        const Pen& pen, const Brush* brush) {
    // Counter-clockwise on the screen from the ray through `start` to the
    // ray through `end`; a full circle when they coincide.
    const double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
    const double rx = (right - left) / 2.0, ry = (bottom - top) / 2.0;
    if (rx <= 0.0 || ry <= 0.0) return;
    const double a0 = std::atan2(-(start.y - cy) / ry, (start.x - cx) / rx);
    double a1 = std::atan2(-(end.y - cy) / ry, (end.x - cx) / rx);
    if (start.x == end.x && start.y == end.y) {
        if (closed) ellipse(left, top, right, bottom, pen, brush ? *brush : Brush{white, Fill::none});
        else ellipse(left, top, right, bottom, pen, Brush{white, Fill::none});
        return;
    }
    if (a1 <= a0) a1 += 2.0 * std::acos(-1.0);
    const double x0 = cx + rx * std::cos(a0), y0 = cy - ry * std::sin(a0);
    const double x1 = cx + rx * std::cos(a1), y1 = cy - ry * std::sin(a1);
    const int large = a1 - a0 > std::acos(-1.0) ? 1 : 0;
    body_ += formatText("<path d=\"M %g %g A %g %g 0 %d 0 %g %g%s\"", x0, y0, rx, ry, large, x1, y1,
                        closed ? " Z" : "") +
             fill(brush) + stroke(pen) + "/>\n";
}

void SvgCanvas::arc(int left, int top, int right, int bottom, PixelPoint start, PixelPoint end, const Pen& pen) {
    arcPath(left, top, right, bottom, start, end, false, pen, nullptr);
}

void SvgCanvas::chord(int left, int top, int right, int bottom, PixelPoint start, PixelPoint end, const Pen& pen,
                      const Brush& brush) {
    arcPath(left, top, right, bottom, start, end, true, pen, &brush);
}

void SvgCanvas::drawText(int x, int y, std::string_view utf8, int width, Rgb colour, Rgb background) {
    if (utf8.empty()) return;
    // The opaque background first, one cell per character.
    body_ += formatText("<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\"", x, y, width, cellHeight) +
             " fill=\"" + colourOf(background) + "\"/>\n";
    body_ += formatText("<text x=\"%d\" y=\"%d\" textLength=\"%d\" lengthAdjust=\"spacingAndGlyphs\" fill=\"", x,
                        y + 12, width) +
             colourOf(colour) + "\">" + escaped(utf8) + "</text>\n";
}

std::string SvgCanvas::document() const {
    return formatText("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\" "
                      "font-family=\"DejaVu Sans Mono, monospace\" font-size=\"13\" shape-rendering=\"crispEdges\">\n",
                      width_, height_, width_, height_) +
           body_ + "</svg>\n";
}

}  // namespace zt40
