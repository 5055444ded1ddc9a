#include "call_pixels.h"

#include <QPainter>
#include <algorithm>
#include <iterator>

namespace zt40 {

namespace {

// Calls not laid for this many frames are forgotten: a frame later they
// may be needed again, a few seconds later they have mostly gone.
constexpr long keepFrames = 256;
// Forgotten calls are looked for every so many frames.
constexpr long sweepFrames = 64;
// All runs are forgotten beyond this many (16 bytes each).
constexpr std::size_t maxRuns = 1 << 20;
// The hatchings repeat every so many pixels.
constexpr int patternCell = 8;  // px

}  // namespace

void CallPixels::drawAside(const DrawCommand& call, QImage& aside, QPoint origin, QRgb ground) {
    aside.fill(ground);
    QPainter painter(&aside);
    painter.translate(-origin);
    QtCanvas canvas(painter, &fonts_);
    playOne(call, canvas);
}

std::optional<std::vector<CallPixels::Run>> CallPixels::runsOf(const DrawCommand& call, QSize size) {
    const PixelRect box = call.reach.intersectedWith({0, 0, size.width(), size.height()});
    std::vector<Run> runs;
    if (box.empty()) return runs;
    // Drawn aside on a picture of its own, shifted by whole pattern cells so
    // that a hatching keeps its place on the pixel grid whether or not it
    // follows the shift; once on black and once on white: a pixel the call
    // left alone shows the ground, one it set the same colour on both, and
    // one it blended with the ground (a smoothed edge) differs.
    const QPoint origin(box.left / patternCell * patternCell, box.top / patternCell * patternCell);
    QImage onBlack(box.right - origin.x(), box.bottom - origin.y(), QImage::Format_RGB32);
    QImage onWhite(onBlack.size(), QImage::Format_RGB32);
    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
    drawAside(call, onBlack, origin, black);
    drawAside(call, onWhite, origin, white);
    for (int y = box.top; y < box.bottom; ++y) {
        const QRgb* whiteRow = reinterpret_cast<const QRgb*>(onWhite.constScanLine(y - origin.y()));
        const QRgb* blackRow = reinterpret_cast<const QRgb*>(onBlack.constScanLine(y - origin.y()));
        for (int x = box.left - origin.x(); x < box.right - origin.x();) {
            const QRgb colour = whiteRow[x];
            const bool set = blackRow[x] == colour;
            if (!set && (blackRow[x] != black || colour != white)) return std::nullopt;
            const int left = x;
            while (x < box.right - origin.x() && whiteRow[x] == colour && (blackRow[x] == colour) == set) ++x;
            if (set) runs.push_back({y, left + origin.x(), x + origin.x(), colour});
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
    std::optional<std::vector<Run>> runs = runsOf(call, size);
    ++callsKept_;
    runsKept_ += runs ? runs->size() : 0;
    return same.emplace_back(Kept{call, std::move(runs), frame_});
}

bool CallPixels::lay(const DrawCommand& call, const std::vector<PixelRect>& areas, bool blank, uchar* bits,
                     qsizetype bytesPerLine, QSize size) {
    const QRgb white = qRgb(255, 255, 255);
    const std::optional<std::vector<Run>>& kept = keptOf(call, size).runs;
    if (!kept) return false;
    const std::vector<Run>& runs = *kept;
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
    return true;
}

void CallPixels::endFrame() {
    ++frame_;
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
            runsKept_ -= k.runs ? k.runs->size() : 0;
            return true;
        });
        it = it->second.empty() ? kept_.erase(it) : std::next(it);
    }
}

}  // namespace zt40
