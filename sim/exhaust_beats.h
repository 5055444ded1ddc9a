#pragma once
// The exhaust beats: each time a working space's port opens to the exhaust
// passage with steam behind it, the blast pipe gives a beat, four a turn of
// the wheels with two double-acting cylinders. While the cylinders work as
// compressors, a space opening into the steam chest delivers what it
// compressed, and the counter-pressure throttle puffs instead. The sound
// takes them from the model's results.

#include "cylinders.h"
#include "locomotive_state.h"

namespace zt40 {

class BeatWatch {
public:
    // A new batch of sub-steps; its beats replace the last batch's.
    void beginBatch(ExhaustBeats& beats);
    // Before a side's sub-step: what its spaces, the exhaust passage and
    // the steam chest hold.
    void before(const CylinderSide& side, int sideIndex, const SimulationBlock& block);
    // After it: a port that opened with steam behind it is a beat at
    // `time` (s into the batch).
    void after(const CylinderSide& side, int sideIndex, const SimulationBlock& block, bool compressorMode, double time,
               ExhaustBeats& beats);

private:
    struct Space {
        bool seen = false;  // the port's state is known: a run's first sub-step is no opening
        PortOpen port = PortOpen::shut;
        double pressure = 0.0;   // Pa over atmosphere, before the sub-step
        double steamMass = 0.0;  // kg, before the sub-step
        // kg the space kept when its port last closed to the exhaust and
        // to the steam chest; negative: not yet.
        double keptFromExhaust = -1.0;
        double keptFromChest = -1.0;
    };
    void note(Space& space, PortOpen opened, const SimulationBlock& block, bool compressorMode, double time,
              int sideIndex, ExhaustBeats& beats) const;
    Space spaces_[2][2]{};          // [side][A, B]
    double exhaustPressure_ = 0.0;  // Pa over atmosphere, before the sub-step
    double chestPressure_ = 0.0;    // Pa over atmosphere, before the sub-step
};

}  // namespace zt40
