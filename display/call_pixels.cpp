#include "call_pixels.h"

#include <QPainter>
#include <algorithm>
#include <array>

#include "qt_canvas.h"

namespace zt40 {

namespace {

// Calls not laid for this many frames are forgotten: a frame later they
// may be needed again, a few seconds later they have mostly gone. The
// picture aside is let go after as long unused.
constexpr long keepFrames = 256;
// Forgotten calls are looked for every so many frames.
constexpr long sweepFrames = 64;
// All runs are forgotten beyond this many (16 bytes each).
constexpr std::size_t maxRuns = 1 << 20;

QRgb rgb(Rgb c) { return qRgb(c.r, c.g, c.b); }

// A colour the call cannot draw in, to tell the pixels it touched.
QRgb blankFor(const DrawCommand& call) {
    for (QRgb candidate : std::array<QRgb, 3>{qRgb(1, 2, 3), qRgb(4, 5, 6), qRgb(7, 8, 9)}) {
        if (candidate != rgb(call.pen.colour) && candidate != rgb(call.brush.colour)) return candidate;
    }
    return qRgb(10, 11, 12);
}

}  // namespace

std::vector<CallPixels::Run> CallPixels::drawAside(const DrawCommand& call, QSize size) {
    if (scratch_.size() != size) scratch_ = QImage(size, QImage::Format_RGB32);
    scratchUsed_ = frame_;
    const PixelRect box = call.reach.intersectedWith({0, 0, size.width(), size.height()});
    std::vector<Run> runs;
    if (box.empty()) return runs;
    const QRgb blank = blankFor(call);
    {
        // Drawn where the picture would have it: a pattern keeps its place
        // on the pixel grid.
        QPainter painter(&scratch_);
        painter.fillRect(QRect(box.left, box.top, box.right - box.left, box.bottom - box.top), QColor(blank));
        QtCanvas canvas(painter);
        playOne(call, canvas);
    }
    for (int y = box.top; y < box.bottom; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(scratch_.constScanLine(y));
        for (int x = box.left; x < box.right;) {
            const QRgb colour = row[x];
            const int left = x;
            while (x < box.right && row[x] == colour) ++x;
            if (colour != blank) runs.push_back({y, left, x, colour});
        }
    }
    return runs;
}

CallPixels::Kept& CallPixels::keptOf(const DrawCommand& call, QSize size) {
    std::vector<Kept>& same = kept_[call.hash];
    for (Kept& k : same) {
        if (k.call == call) {
            k.lastFrame = frame_;
            return k;
        }
    }
    std::vector<Run> runs = drawAside(call, size);
    ++callsKept_;
    runsKept_ += runs.size();
    return same.emplace_back(Kept{call, std::move(runs), frame_});
}

void CallPixels::lay(const DrawCommand& call, const std::vector<PixelRect>& areas, bool blank, uchar* bits,
                     qsizetype bytesPerLine, QSize size) {
    const QRgb white = rgb(zt40::white);
    const std::vector<Run>& runs = keptOf(call, size).runs;
    for (const PixelRect& area : areas) {
        if (!area.overlaps(call.reach)) continue;
        auto run = std::lower_bound(runs.begin(), runs.end(), area.top, [](const Run& r, int y) { return r.y < y; });
        for (; run != runs.end() && run->y < area.bottom; ++run) {
            const int left = std::max(run->left, area.left), right = std::min(run->right, area.right);
            if (left >= right || (blank && run->colour == white)) continue;
            QRgb* row = reinterpret_cast<QRgb*>(bits + run->y * bytesPerLine);
            std::fill(row + left, row + right, run->colour);
        }
    }
}

void CallPixels::endFrame() {
    ++frame_;
    if (frame_ - scratchUsed_ > keepFrames) scratch_ = QImage();
    if (frame_ % sweepFrames != 0) return;
    if (runsKept_ > maxRuns) {
        kept_.clear();
        callsKept_ = runsKept_ = 0;
        return;
    }
    for (auto it = kept_.begin(); it != kept_.end();) {
        std::erase_if(it->second, [&](const Kept& k) {
            if (frame_ - k.lastFrame <= keepFrames) return false;
            --callsKept_;
            runsKept_ -= k.runs.size();
            return true;
        });
        it = it->second.empty() ? kept_.erase(it) : std::next(it);
    }
}

}  // namespace zt40
