#pragma once
// A point of the track profile: the line the train runs on, as a doubly
// linked list sorted by position, ending in one empty trailing point that
// is not part of the profile.

#include <cstdint>

namespace zt40 {

struct TrackPoint {
    float friction;        // rail friction factor
    double position;       // m along the line
    std::int8_t gradient;  // per mille, positive uphill
    TrackPoint* next;      // null at the end
    TrackPoint* prev;      // null at the start
};

// Where track points come from. Allocation may fail (null); tests make it
// fail on purpose.
class TrackAllocator {
public:
    virtual ~TrackAllocator() = default;
    virtual TrackPoint* allocate();
    virtual void release(TrackPoint* point);
};

}  // namespace zt40
