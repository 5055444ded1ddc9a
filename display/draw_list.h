#pragma once
// A frame as the list of its drawing calls, in drawing order, each with the
// box of pixels it can touch. Two frames' lists tell where their pictures
// can differ (frame_damage.h), and a list played back onto a canvas draws
// the frame, or only the calls that reach a few areas of it.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "canvas.h"

namespace zt40 {

// A box of client pixels; right and bottom exclusive.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;

    bool empty() const { return right <= left || bottom <= top; }
    bool overlaps(const PixelRect& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
    long long area() const { return empty() ? 0 : static_cast<long long>(right - left) * (bottom - top); }
    PixelRect unitedWith(const PixelRect& other) const;
    PixelRect intersectedWith(const PixelRect& other) const {
        return {std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                std::min(bottom, other.bottom)};
    }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

enum class DrawKind : std::uint8_t { line, polyline, rectangle, ellipse, roundRect, polygon, arc, chord, text };

// One call with everything it draws with. Unused fields stay zero, so two
// equal calls compare equal field by field.
struct DrawCommand {
    DrawKind kind = DrawKind::line;
    int box[4] = {0, 0, 0, 0};       // px: left, top, right, bottom; a line's end points; a text's x, y and width
    int corner[2] = {0, 0};          // px: a rounded box's corner width and height
    std::vector<PixelPoint> points;  // a polyline's or polygon's corners; an arc's or chord's two rays
    Pen pen{};
    Brush brush{};
    std::string text;  // UTF-8
    Rgb background = white;
    TextCell cell{};
    PixelRect reach;  // every pixel the call can touch lies inside
    std::size_t hash = 0;  // of all the above but the reach; set when the frame is recorded

    bool operator==(const DrawCommand& other) const;
};

// A hash of everything a call draws with; equal calls hash alike.
std::size_t hashOf(const DrawCommand& call);

struct DrawList {
    std::vector<DrawCommand> commands;
};

// Draws nothing: keeps each call in a list.
class RecordingCanvas final : public Canvas {
public:
    // Starts a new frame on `list`.
    explicit RecordingCanvas(DrawList& list);
    // Hashes the calls of the finished frame.
    ~RecordingCanvas() override;

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

private:
    DrawCommand& add(DrawKind kind, const Pen& pen, const Brush& brush);
    void boxed(DrawKind kind, int left, int top, int right, int bottom, const Pen& pen, const Brush& brush);

    DrawList& list_;
};

// Draws one call onto `canvas`; where the canvas draws outside the areas
// being drawn again is the caller's clip.
void playOne(const DrawCommand& call, Canvas& canvas);

// Whether a call that can touch `reach` touches any of `areas`.
bool reachesAny(const PixelRect& reach, const std::vector<PixelRect>& areas);

}  // namespace zt40
