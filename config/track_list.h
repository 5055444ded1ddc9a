#pragma once
// The track profile list in the state record: creation at start-up, the
// rows of the configuration file read into it and written out of it, and
// a snapshot of the points the track table shows.

#include <array>
#include <string>

#include "locomotive_state.h"
#include "track_point.h"

namespace zt40 {

// Start-up, before the configuration is read: one empty point that is head,
// current and tail. On failure the track function is switched off for good.
void createFirstTrackPoint(LocomotiveState& state, TrackAllocator& allocator);

// Start-up, after reading: a list without profile points gets one at 0 m
// with friction 0.25 and gradient 0. `trackCurrent` := `trackHead`.
void ensureDefaultTrackPoint(LocomotiveState& state, TrackAllocator& allocator);

// Frees every point; the record's pointers become null.
void freeTrackList(LocomotiveState& state, TrackAllocator& allocator);

// The rows after "Streckendaten:", fed byte by byte: "position;friction;gradient".
class TrackRowParser {
public:
    // One byte of the file; `lastByte` for the file's final byte. Returns
    // false once a point could not be allocated (reading must stop).
    bool feed(LocomotiveState& state, TrackAllocator& allocator, char byte, bool lastByte);

private:
    void endColumn(LocomotiveState& state);
    bool completeRow(LocomotiveState& state, TrackAllocator& allocator);

    std::string segment_;
    int column_ = 0;
    bool afterCr_ = false;
};

// Links the row held by the trailing point into the list in position order;
// a row whose position is already there is dropped. False when a point
// could not be allocated (the track function is then switched off).
bool insertTrackRow(LocomotiveState& state, TrackAllocator& allocator);

// The rows "%13.4f;%10.6f;%6i\r\n" of every profile point with a friction
// strictly between 0 and 0.4. Frees the list as it goes.
std::string takeTrackRows(LocomotiveState& state, TrackAllocator& allocator);

// Copy of the points the track table shows around `trackCurrent`, taken on
// the main thread so that the render thread never reads the live list.
struct TrackTableRow {
    double position;  // m
    float friction;
    std::int8_t gradient;  // per mille
    bool isFirst;          // the list's first point
    bool isBeforeLast;     // the last profile point
    bool isCurrent;        // the first point ahead of the train
    bool isBeforeCurrent;  // the point the train has passed last
};

struct TrackTableSnapshot {
    static constexpr int maxRows = 16;
    std::array<TrackTableRow, maxRows> rows{};
    int rowCount = 0;
};

TrackTableSnapshot takeTrackTableSnapshot(const LocomotiveState& state);

}  // namespace zt40
