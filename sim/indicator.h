#pragma once
// Samples of the indicator diagrams: the pressures of both working spaces
// over piston travel and the tractive force over crank angle, written into
// three 700-point rings in client pixels, about 699 points per revolution.

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

    // The points are pixels of one window for one cylinder side: when the
    // window's scale or width or the side changes, the ring starts afresh
    // and no loop is shown until the crank has turned once more.
    void followPixelFrame(SimulationBlock& block);
    // Side 1 notices the crank wrapping by itself.
    void noticeSide1Wrap(SimulationBlock& block, double crankAngle);
    // Side 2's wrap is the wheel angle's, seen where the wheels turn.
    void crankWrapped(SimulationBlock& block);
    // Writes a point when it is due. `force` is the rim force summed so far.
    void sample(SimulationBlock& block, const CylinderSide& side, double force, bool compressorMode);
    // Magnitude of the last wheel-angle change, degrees: a point is due
    // every 1/699 of a turn, so after (sub-steps per turn)/699 - 1 steps.
    void setStepDegrees(double degrees) { stepsPerPoint_ = 360.0 / degrees / 699.0 - 1.0; }

private:
    int counter_ = 0;
    int writeIndex_ = 0;
    double stepsPerPoint_ = std::numeric_limits<double>::infinity();  // sub-steps; the wheels stand
    double lastCrankAngle_ = 0.0;   // rad, kept across restarts
    double frameScale_ = 0.0;       // mm per pixel the ring is sampled at
    std::int32_t frameOrigin_ = 0;  // px, the client width it is sampled for
    bool frameSide_ = false;        // the side it samples
};

}  // namespace zt40
