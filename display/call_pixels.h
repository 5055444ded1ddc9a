#pragma once
// The pixels of the drawing calls that stay from frame to frame, kept as
// runs of one colour along the pixel rows. A call that stays under or over
// something that moves (the frame behind the wheels, a tyre, the cylinder's
// hatched saddle) is drawn again in every frame where the moving parts
// changed the picture; laying its kept runs down there copies a few rows
// where the painter would stroke and fill the whole shape again.
//
// A call whose every pixel is set to a colour that does not depend on what
// lies under it (the window's shapes are drawn without smoothing, in opaque
// colours; a text on its own ground within that ground) leaves, laid down
// from its runs in its turn, the pixels drawing it would. A call is tried
// on two grounds before its runs are kept; one that blends with what lies
// under it (a text whose letters stand out of its ground) is always drawn.

#include <QImage>
#include <cstddef>
#include <optional>
#include <unordered_map>
#include <vector>

#include "draw_list.h"
#include "qt_canvas.h"

namespace zt40 {

class CallPixels {
public:
    // Lays the pixels of `call` that fall inside `areas` onto the picture
    // whose first row is at `bits`, `bytesPerLine` apart, of `size` pixels
    // (device pixel ratio 1). A call met for the first time is drawn once
    // aside to find its runs. On `blank` areas, still the white of a blank
    // picture, its white runs are left out. False, with nothing laid, for a
    // call that must be drawn.
    bool lay(const DrawCommand& call, const std::vector<PixelRect>& areas, bool blank, uchar* bits,
             qsizetype bytesPerLine, QSize size);
    // Forgets the runs of calls not laid for a while; once a frame.
    void endFrame();
    // How many calls are kept, with their runs or as calls to draw.
    std::size_t callsKept() const { return callsKept_; }

private:
    struct Run {
        int y, left, right;  // px; right exclusive
        QRgb colour;
    };
    struct Kept {
        DrawCommand call;
        std::optional<std::vector<Run>> runs;  // row by row, left to right; none for a call to draw
        long lastFrame;
    };

    Kept& keptOf(const DrawCommand& call, QSize size);
    std::optional<std::vector<Run>> runsOf(const DrawCommand& call, QSize size);
    void drawAside(const DrawCommand& call, QImage& aside, QPoint origin, QRgb ground);

    std::unordered_map<std::size_t, std::vector<Kept>> kept_;  // by the call's hash
    TextFonts fonts_;  // for the texts drawn aside
    long frame_ = 0;
    std::size_t callsKept_ = 0;
    std::size_t runsKept_ = 0;
};

}  // namespace zt40
