#pragma once
// The track profile list in the state record: creation at start-up, the
// rows of the configuration file read into it and written out of it, and
// a snapshot of the points the track table shows.

#include <array>
#include <string>
#include <vector>

#include "locomotive_state.h"
#include "track_point.h"

namespace zt40 {

// The farthest a track point may lie from 0 either way, m: as far as a
// file's distance may lie, and the rows keep their tenth of a millimetre.
inline constexpr double maxTrackPosition = 1e8;

// Start-up, before the configuration is read: one empty point that is head,
// current and tail. On failure the track function is switched off for good.
void createFirstTrackPoint(LocomotiveState& state, TrackAllocator& allocator);

// Start-up, after reading: a list without profile points gets one at 0 m
// with friction 0.25 and gradient 0. `trackCurrent` := `trackHead`.
void ensureDefaultTrackPoint(LocomotiveState& state, TrackAllocator& allocator);

// Frees every point; the record's pointers become null.
void freeTrackList(LocomotiveState& state, TrackAllocator& allocator);

// The rows after "Streckendaten:", fed byte by byte: "position;friction;gradient".
// The rows are gathered first and linked in at the end in position order,
// so that a file of unsorted rows loads in O(n log n). A row is taken as the
// file can hold it again: its position to a tenth of a millimetre and its
// friction to six decimals, so that every row taken survives a save and a
// reload; a row beyond `maxTrackPosition` is dropped.
class TrackRowParser {
public:
    // One byte of the file; `lastByte` for the file's final byte.
    void feed(char byte, bool lastByte);
    // Links the gathered rows into the list; a position already there (or
    // earlier in the file) keeps its first row. False once a point could not
    // be allocated (the track function is then switched off).
    bool finish(LocomotiveState& state, TrackAllocator& allocator);

private:
    void endColumn();
    void completeRow();

    std::vector<TrackPoint> rows_;  // in file order
    double position_ = 0.0;         // m, of the row being read
    double friction_ = 0.0;         // of the row being read
    std::string segment_;
    int column_ = 0;
    bool afterCr_ = false;
};

// Links the row held by the trailing point into the list in position order;
// a row whose position is already there is dropped. False when a point
// could not be allocated (the track function is then switched off).
bool insertTrackRow(LocomotiveState& state, TrackAllocator& allocator);

// The rows "%13.4f;%10.6f;%6i\r\n" of every profile point with a friction
// strictly between 0 and 0.4.
std::string trackRowsText(const LocomotiveState& state);

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
