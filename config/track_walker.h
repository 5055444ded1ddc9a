#pragma once
// The walk along the track profile on every main tick: it sets `gradient`
// and `frictionFactor` for the train's `distance`, and a random generator
// keeps the line at least 5000 m ahead of the train (behind it when it
// reverses), with planned gradient segments and alternating friction.

#include <cstdint>

#include "locomotive_state.h"
#include "random15.h"
#include "track_point.h"

namespace zt40 {

class TrackWalker {
public:
    // One tick. Returns true while the train stands beyond either end of
    // the line (the wait cursor shows).
    bool tick(LocomotiveState& state, Random15& random, TrackAllocator& allocator);

    bool walkInitialised() const { return walkInitialised_; }
    bool beyondEnd() const { return beyondEnd_; }
    bool beforeStart() const { return beforeStart_; }

private:
    // The planned gradient segment of one generator.
    struct Plan {
        double planPos = 0.0;            // m, next gradient point to insert
        std::int8_t planGradient = 0;    // per mille
        double startPos = 0.0;           // m, the previous gradient point
        std::int8_t startGradient = 0;   // per mille
        bool holdToggle = true;
        bool copyToggle = true;
        // Gradient on the segment at `position`, truncated.
        std::int8_t valueAt(double position) const;
    };

    void startLineAtTrain(LocomotiveState& state, TrackAllocator& allocator);
    void locate(LocomotiveState& state);
    void generateForward(LocomotiveState& state, Random15& random, TrackAllocator& allocator);
    void generateBackward(LocomotiveState& state, Random15& random, TrackAllocator& allocator);
    bool insertPlannedPoint(LocomotiveState& state, TrackAllocator& allocator, const Plan& plan, int direction);
    void planNext(Plan& plan, Random15& random, int direction, std::int8_t maxGradient);
    void followTrain(LocomotiveState& state) const;
    void interpolate(LocomotiveState& state) const;

    bool walkInitialised_ = false;
    bool beyondEnd_ = false;
    bool beforeStart_ = false;
    Plan ahead_;
    Plan behind_;
};

}  // namespace zt40
