#include "draw_list.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <numbers>
#include <string_view>

namespace zt40 {

namespace {

// How far a pen's stroke can stand out of the outline it follows: half its
// width on either side, a miter or a round cap as much again, and a pixel
// for rounding.
int strokeMargin(const Pen& pen) { return std::max(pen.width, 1) + 2; }  // px

PixelRect around(int left, int top, int right, int bottom, int margin) {
    return {std::min(left, right) - margin, std::min(top, bottom) - margin, std::max(left, right) + margin,
            std::max(top, bottom) + margin};
}

PixelRect aroundPoints(const std::vector<PixelPoint>& points, int margin) {
    if (points.empty()) return {};
    PixelRect r{points[0].x, points[0].y, points[0].x, points[0].y};
    for (const PixelPoint& p : points) {
        r.left = std::min(r.left, p.x);
        r.top = std::min(r.top, p.y);
        r.right = std::max(r.right, p.x);
        r.bottom = std::max(r.bottom, p.y);
    }
    return around(r.left, r.top, r.right, r.bottom, margin);
}

// The part of the box's ellipse an arc or chord covers, counter-clockwise
// from the ray through `start` to the ray through `end`: its end points
// and every extreme of the ellipse the sweep passes. Only a circle's arc is
// narrowed; an ellipse's keeps its whole box.
PixelRect arcReach(int left, int top, int right, int bottom, PixelPoint start, PixelPoint end, int margin) {
    const PixelRect whole = around(left, top, right, bottom, margin);
    const double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;  // px
    const double radius = std::abs(right - left) / 2.0;                  // px
    if (std::abs(right - left) != std::abs(bottom - top) || start == end) return whole;
    const auto angleOf = [&](PixelPoint p) {  // rad, counter-clockwise from 3 o'clock, 0 .. 2π
        const double a = std::atan2(cy - p.y, p.x - cx);
        return a < 0.0 ? a + 2.0 * std::numbers::pi : a;
    };
    const double from = angleOf(start);
    double to = angleOf(end);
    if (to <= from) to += 2.0 * std::numbers::pi;
    double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
    const auto take = [&](double a) {
        const double x = cx + radius * std::cos(a), y = cy - radius * std::sin(a);
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    };
    take(from);
    take(to);
    for (int quarter = 0; quarter <= 8; ++quarter) {
        const double a = quarter * std::numbers::pi / 2.0;
        if (a > from && a < to) take(a);
    }
    // Qt sets the rays in sixteenths of a degree: a pixel more either way.
    const PixelRect narrow = around(static_cast<int>(std::floor(minX)), static_cast<int>(std::floor(minY)),
                                    static_cast<int>(std::ceil(maxX)), static_cast<int>(std::ceil(maxY)), margin + 1);
    return {std::max(narrow.left, whole.left), std::max(narrow.top, whole.top), std::min(narrow.right, whole.right),
            std::min(narrow.bottom, whole.bottom)};
}

void mix(std::size_t& hash, std::size_t value) { hash ^= value + 0x9e3779b97f4a7c15ULL + (hash << 6) + (hash >> 2); }

std::size_t colourKey(Rgb c) { return (std::size_t{c.r} << 16) | (std::size_t{c.g} << 8) | c.b; }

}  // namespace

std::size_t hashOf(const DrawCommand& c) {
    std::size_t h = static_cast<std::size_t>(c.kind);
    for (int v : c.box) mix(h, static_cast<std::size_t>(v));
    for (int v : c.corner) mix(h, static_cast<std::size_t>(v));
    for (const PixelPoint& p : c.points) mix(h, (static_cast<std::size_t>(p.x) << 32) ^ static_cast<std::uint32_t>(p.y));
    mix(h, colourKey(c.pen.colour) ^ (static_cast<std::size_t>(c.pen.width) << 24) ^ (std::size_t{c.pen.dotted} << 60));
    mix(h, colourKey(c.brush.colour) ^ (static_cast<std::size_t>(c.brush.fill) << 24));
    mix(h, std::hash<std::string_view>{}(c.text));
    mix(h, colourKey(c.background) ^ (static_cast<std::size_t>(c.cell.width) << 24) ^
               (static_cast<std::size_t>(c.cell.height) << 40));
    return h;
}

PixelRect PixelRect::unitedWith(const PixelRect& other) const {
    if (empty()) return other;
    if (other.empty()) return *this;
    return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
            std::max(bottom, other.bottom)};
}

bool DrawCommand::operator==(const DrawCommand& other) const {
    return kind == other.kind && std::equal(box, box + 4, other.box) && std::equal(corner, corner + 2, other.corner) &&
           points == other.points && pen == other.pen && brush == other.brush && text == other.text &&
           background == other.background && cell == other.cell;
}

RecordingCanvas::RecordingCanvas(DrawList& list) : list_(list) { list_.commands.clear(); }

RecordingCanvas::~RecordingCanvas() {
    for (DrawCommand& c : list_.commands) c.hash = hashOf(c);
}

DrawCommand& RecordingCanvas::add(DrawKind kind, const Pen& pen, const Brush& brush) {
    DrawCommand& c = list_.commands.emplace_back();
    c.kind = kind;
    c.pen = pen;
    c.brush = brush;
    return c;
}

void RecordingCanvas::boxed(DrawKind kind, int left, int top, int right, int bottom, const Pen& pen,
                            const Brush& brush) {
    DrawCommand& c = add(kind, pen, brush);
    c.box[0] = left;
    c.box[1] = top;
    c.box[2] = right;
    c.box[3] = bottom;
    c.reach = around(left, top, right, bottom, strokeMargin(pen));
}

void RecordingCanvas::line(PixelPoint from, PixelPoint to, const Pen& pen) {
    boxed(DrawKind::line, from.x, from.y, to.x, to.y, pen, Brush{});
}

void RecordingCanvas::polyline(const std::vector<PixelPoint>& points, const Pen& pen) {
    DrawCommand& c = add(DrawKind::polyline, pen, Brush{});
    c.points = points;
    c.reach = aroundPoints(points, strokeMargin(pen));
}

void RecordingCanvas::rectangle(int left, int top, int right, int bottom, const Pen& pen, const Brush& brush) {
    boxed(DrawKind::rectangle, left, top, right, bottom, pen, brush);
}

void RecordingCanvas::ellipse(int left, int top, int right, int bottom, const Pen& pen, const Brush& brush) {
    boxed(DrawKind::ellipse, left, top, right, bottom, pen, brush);
}

void RecordingCanvas::roundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight,
                                const Pen& pen, const Brush& brush) {
    boxed(DrawKind::roundRect, left, top, right, bottom, pen, brush);
    list_.commands.back().corner[0] = cornerWidth;
    list_.commands.back().corner[1] = cornerHeight;
}

void RecordingCanvas::polygon(const std::vector<PixelPoint>& points, const Pen& pen, const Brush& brush) {
    DrawCommand& c = add(DrawKind::polygon, pen, brush);
    c.points = points;
    c.reach = aroundPoints(points, strokeMargin(pen));
}

void RecordingCanvas::arc(int left, int top, int right, int bottom, PixelPoint start, PixelPoint end,
                          const Pen& pen) {
    boxed(DrawKind::arc, left, top, right, bottom, pen, Brush{});
    list_.commands.back().points = {start, end};
    list_.commands.back().reach = arcReach(left, top, right, bottom, start, end, strokeMargin(pen));
}

void RecordingCanvas::chord(int left, int top, int right, int bottom, PixelPoint start, PixelPoint end,
                            const Pen& pen, const Brush& brush) {
    boxed(DrawKind::chord, left, top, right, bottom, pen, brush);
    list_.commands.back().points = {start, end};
    list_.commands.back().reach = arcReach(left, top, right, bottom, start, end, strokeMargin(pen));
}

void RecordingCanvas::drawText(int x, int y, std::string_view utf8, int width, Rgb colour, Rgb background) {
    DrawCommand& c = add(DrawKind::text, Pen{colour}, Brush{});
    c.box[0] = x;
    c.box[1] = y;
    c.box[2] = width;
    c.text = utf8;
    c.background = background;
    c.cell = textCell();
    // A glyph may stand a little out of its cells; a text too wide for its
    // width is narrowed into it.
    c.reach = {x - c.cell.width, y - c.cell.height, x + std::max(width, 0) + c.cell.width, y + 2 * c.cell.height};
}

void playOne(const DrawCommand& c, Canvas& canvas) {
    const int* b = c.box;
    switch (c.kind) {
        case DrawKind::line: canvas.line({b[0], b[1]}, {b[2], b[3]}, c.pen); break;
        case DrawKind::polyline: canvas.polyline(c.points, c.pen); break;
        case DrawKind::rectangle: canvas.rectangle(b[0], b[1], b[2], b[3], c.pen, c.brush); break;
        case DrawKind::ellipse: canvas.ellipse(b[0], b[1], b[2], b[3], c.pen, c.brush); break;
        case DrawKind::roundRect:
            canvas.roundRect(b[0], b[1], b[2], b[3], c.corner[0], c.corner[1], c.pen, c.brush);
            break;
        case DrawKind::polygon: canvas.polygon(c.points, c.pen, c.brush); break;
        case DrawKind::arc: canvas.arc(b[0], b[1], b[2], b[3], c.points[0], c.points[1], c.pen); break;
        case DrawKind::chord:
            canvas.chord(b[0], b[1], b[2], b[3], c.points[0], c.points[1], c.pen, c.brush);
            break;
        case DrawKind::text: canvas.playText(c.cell, b[0], b[1], c.text, b[2], c.pen.colour, c.background); break;
    }
}

bool reachesAny(const PixelRect& reach, const std::vector<PixelRect>& areas) {
    return std::any_of(areas.begin(), areas.end(), [&](const PixelRect& a) { return a.overlaps(reach); });
}

}  // namespace zt40
