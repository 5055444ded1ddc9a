#include "track_list.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "number_text.h"

namespace zt40 {

TrackPoint* TrackAllocator::allocate() { return new (std::nothrow) TrackPoint{}; }
void TrackAllocator::release(TrackPoint* point) { delete point; }

namespace {

constexpr std::size_t maxSegment = 259;  // characters of one column kept

// printf("%6i").
std::string rightAligned(int value, std::size_t width) {
    std::string text = std::to_string(value);
    if (text.size() < width) text.insert(0, width - text.size(), ' ');
    return text;
}

void switchTrackOff(LocomotiveState& state) {
    state.trackAutomatic = false;
    state.trackListFailed = true;
}

// A fresh, zeroed trailing point behind the tail, which becomes a profile point.
bool appendTrailingPoint(LocomotiveState& state, TrackAllocator& allocator) {
    TrackPoint* fresh = allocator.allocate();
    if (!fresh) {
        switchTrackOff(state);
        return false;
    }
    *fresh = TrackPoint{};
    fresh->prev = state.trackTail;
    state.trackTail->next = fresh;
    state.trackTail = fresh;
    return true;
}

// A copy of `values` linked between `before` (may be null) and `after`.
bool linkCopy(LocomotiveState& state, TrackAllocator& allocator, const TrackPoint& values, TrackPoint* before,
              TrackPoint* after) {
    TrackPoint* point = allocator.allocate();
    if (!point) {
        switchTrackOff(state);
        return false;
    }
    // Filled in completely before it is linked.
    *point = TrackPoint{values.friction, values.position, values.gradient, after, before};
    if (before) before->next = point;
    else state.trackHead = point;
    after->prev = point;
    return true;
}

}  // namespace

void createFirstTrackPoint(LocomotiveState& state, TrackAllocator& allocator) {
    TrackPoint* first = allocator.allocate();
    if (first) *first = TrackPoint{};
    state.trackHead = state.trackCurrent = state.trackTail = first;
    if (!first) switchTrackOff(state);
}

void ensureDefaultTrackPoint(LocomotiveState& state, TrackAllocator& allocator) {
    if (!state.trackListFailed && state.trackHead && state.trackHead == state.trackTail) {
        state.trackTail->friction = 0.25f;
        appendTrailingPoint(state, allocator);
    }
    state.trackCurrent = state.trackHead;
}

void freeTrackList(LocomotiveState& state, TrackAllocator& allocator) {
    for (TrackPoint* point = state.trackHead; point;) {
        TrackPoint* next = point->next;
        allocator.release(point);
        point = next;
    }
    state.trackHead = state.trackCurrent = state.trackTail = nullptr;
}

bool insertTrackRow(LocomotiveState& state, TrackAllocator& allocator) {
    TrackPoint* row = state.trackTail;
    TrackPoint* first = state.trackHead;
    // Before the whole line: a new first point.
    if (first != row && first->position > row->position) return linkCopy(state, allocator, *row, nullptr, first);
    // Behind the whole line (or the first row): the row becomes the last point.
    if (!row->prev || row->prev->position < row->position) return appendTrailingPoint(state, allocator);
    // Within the line: before the first point that is not ahead of it.
    TrackPoint* at = row;
    while (at->prev && at->prev->position > row->position) at = at->prev;
    if (at->prev && at->prev->position == row->position) return true;  // the first row of a position wins
    return linkCopy(state, allocator, *row, at->prev, at);
}

void TrackRowParser::endColumn() {
    acceptDecimalComma(segment_);
    if (column_ == 0) position_ = parseDecimal(segment_);
    if (column_ == 1) friction_ = parseDecimal(segment_);
    ++column_;
    segment_.clear();
}

void TrackRowParser::completeRow() {
    // Out-of-range gradients are clamped whole, so -150 stays downhill.
    const int gradient = parseInteger(segment_);
    column_ = 0;
    segment_.clear();
    // As the file writes them back: "%13.4f" and "%10.6f".
    const double position = std::round(position_ * 1e4) / 1e4;  // m
    const double friction = std::round(std::clamp(friction_, 0.05, 0.3) * 1e6) / 1e6;
    if (std::fabs(position) <= maxTrackPosition) {
        rows_.push_back(TrackPoint{static_cast<float>(friction), position,
                                   static_cast<std::int8_t>(std::clamp(gradient, -100, 100)), nullptr, nullptr});
    }
    position_ = friction_ = 0.0;
}

void TrackRowParser::feed(char byte, bool lastByte) {
    const bool loneLf = byte == '\n' && !afterCr_;
    afterCr_ = byte == '\r';
    if (byte == ';') {
        endColumn();
    } else if (segment_.size() < maxSegment) {
        segment_ += byte;
    }
    // A row ends at a line end after at least one column, or at the end of a
    // file whose last row has no line end.
    const bool lineEnd = byte == '\r' || loneLf;
    if ((lineEnd && column_ != 0) || (lastByte && position_ != 0.0)) completeRow();
}

bool TrackRowParser::finish(LocomotiveState& state, TrackAllocator& allocator) {
    // In position order, the first row of a position first: then every row
    // lands behind the last point, and a later row of that position is dropped.
    std::stable_sort(rows_.begin(), rows_.end(),
                     [](const TrackPoint& a, const TrackPoint& b) { return a.position < b.position; });
    for (const TrackPoint& row : rows_) {
        TrackPoint& trailing = *state.trackTail;
        trailing.position = row.position;
        trailing.friction = row.friction;
        trailing.gradient = row.gradient;
        if (!insertTrackRow(state, allocator)) return false;
    }
    rows_.clear();
    return true;
}

std::string trackRowsText(const LocomotiveState& state) {
    std::string rows;
    for (const TrackPoint* point = state.trackHead; point && point->next; point = point->next) {
        if (point->friction > 0.0f && point->friction < 0.4f) {
            rows += formatFixed(point->position, 4, 13) + ";" + formatFixed(point->friction, 6, 10) + ";" +
                    rightAligned(point->gradient, 6) + "\r\n";
        }
    }
    return rows;
}

TrackTableSnapshot takeTrackTableSnapshot(const LocomotiveState& state) {
    TrackTableSnapshot snapshot;
    const TrackPoint* point = state.trackCurrent;
    if (!point) return snapshot;
    // Eight points ahead, then sixteen back: the table starts there.
    for (int i = 0; i < 8 && point->next; ++i) point = point->next;
    for (int i = 0; i < 16 && point->prev; ++i) point = point->prev;
    const TrackPoint* last = state.trackTail ? state.trackTail->prev : nullptr;
    for (; point->next && snapshot.rowCount < TrackTableSnapshot::maxRows; point = point->next) {
        snapshot.rows[snapshot.rowCount++] =
            TrackTableRow{point->position,       point->friction,           point->gradient,
                          point == state.trackHead, point == last,           point == state.trackCurrent,
                          point->next == state.trackCurrent};
    }
    return snapshot;
}

}  // namespace zt40
