#include "call_pixels.h"

#include <QPainter>
#include <algorithm>
#include <iterator>

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

}  // namespace

void CallPixels::drawAside(const DrawCommand& call, const PixelRect& box, QRgb ground) {
    QPainter painter(&scratch_);
    painter.fillRect(QRect(box.left, box.top, box.right - box.left, box.bottom - box.top), QColor(ground));
    QtCanvas canvas(painter, &fonts_);
    playOne(call, canvas);
}

std::optional<std::vector<CallPixels::Run>> CallPixels::runsOf(const DrawCommand& call, QSize size) {
    if (scratch_.size() != size) scratch_ = QImage(size, QImage::Format_RGB32);
    scratchUsed_ = frame_;
    const PixelRect box = call.reach.intersectedWith({0, 0, size.width(), size.height()});
    std::vector<Run> runs;
    if (box.empty()) return runs;
    // Drawn where the picture would have it (a pattern keeps its place on
    // the pixel grid), once on black and once on white: a pixel the call
    // left alone shows the ground, one it set the same colour on both, and
    // one it blended with the ground (a smoothed edge) differs.
    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
    drawAside(call, box, black);
    const int width = box.right - box.left;
    std::vector<QRgb> onBlack(static_cast<std::size_t>(width) * (box.bottom - box.top));
    for (int y = box.top; y < box.bottom; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(scratch_.constScanLine(y));
        std::copy(row + box.left, row + box.right, onBlack.begin() + static_cast<std::ptrdiff_t>(y - box.top) * width);
    }
    drawAside(call, box, white);
    for (int y = box.top; y < box.bottom; ++y) {
        const QRgb* onWhite = reinterpret_cast<const QRgb*>(scratch_.constScanLine(y)) + box.left;
        const QRgb* onBlackRow = onBlack.data() + static_cast<std::ptrdiff_t>(y - box.top) * width;
        for (int x = 0; x < width;) {
            const QRgb colour = onWhite[x];
            const bool set = onBlackRow[x] == colour;
            if (!set && (onBlackRow[x] != black || colour != white)) return std::nullopt;
            const int left = x;
            while (x < width && onWhite[x] == colour && (onBlackRow[x] == colour) == set) ++x;
            if (set) runs.push_back({y, box.left + left, box.left + x, colour});
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
            runsKept_ -= k.runs ? k.runs->size() : 0;
            return true;
        });
        it = it->second.empty() ? kept_.erase(it) : std::next(it);
    }
}

}  // namespace zt40
