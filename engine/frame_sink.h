#pragma once
// What the engine hands the display at every hand-over: the frame copy of
// the record after the frame rules, what the rules decided, and the track
// points around the train. The display draws it or, while still drawing
// the last one, lets it pass; nothing it does flows back.

#include "frame_rules.h"
#include "locomotive_state.h"
#include "track_list.h"

namespace zt40 {

struct FrameView {
    LocomotiveState record;
    FrameState rules;
    FramePreparation preparation;
    TrackTableSnapshot trackTable;  // the list itself stays the engine's
};

class FrameSink {
public:
    virtual ~FrameSink() = default;
    // False when the display could not be set up (memory).
    virtual bool start() { return true; }
    virtual void show(const FrameView& view) = 0;
};

}  // namespace zt40
