#pragma once
// Samples of the indicator diagrams: per point the piston's travel, the
// pressures of both working spaces, the crank angle and the rim force of
// the sampled cylinder side, written into one 700-point ring, about 699
// points per revolution. The display turns them into its diagrams.

#include <limits>

#include "cylinders.h"
#include "locomotive_state.h"

namespace zt40 {

class IndicatorSampler {
public:
    // A new run; the last sampled crank angle is kept.
    void restart() {
        counter_ = 0;
        writeIndex_ = 0;
        stepsPerPoint_ = std::numeric_limits<double>::infinity();
    }

    // The ring holds one cylinder side: when the side changes, it starts
    // afresh and no loop is shown until the crank has turned once more.
    void followSide(SimulationBlock& block);
    // Side 1 notices the crank wrapping by itself.
    void noticeSide1Wrap(ModelResults& results, double crankAngle);
    // Side 2's wrap is the wheel angle's, seen where the wheels turn.
    void crankWrapped(ModelResults& results);
    // Writes a point when it is due. `force` is the rim force summed so far.
    void sample(ModelResults& results, const CylinderSide& side, double force, bool compressorMode);
    // Magnitude of the last wheel-angle change, degrees: a point is due
    // every 1/699 of a turn, so after (sub-steps per turn)/699 - 1 steps.
    void setStepDegrees(double degrees) { stepsPerPoint_ = 360.0 / degrees / 699.0 - 1.0; }

private:
    int counter_ = 0;
    int writeIndex_ = 0;
    double stepsPerPoint_ = std::numeric_limits<double>::infinity();  // sub-steps; the wheels stand
    double lastCrankAngle_ = 0.0;  // rad, kept across restarts
    bool side_ = false;            // the side the ring holds
};

}  // namespace zt40
