#include "indicator.h"

#include <cmath>
#include <limits>

namespace zt40 {

void IndicatorSampler::followSide(SimulationBlock& block) {
    if (block.indicatorSide == side_) return;
    side_ = block.indicatorSide;
    block.indicatorCount = 0;
    writeIndex_ = 0;
    counter_ = 0;
}

void IndicatorSampler::noticeSide1Wrap(ModelResults& results, double crankAngle) {
    // A jump of more than three quarters of a turn is the crank passing 2π.
    constexpr double threeQuartersOfATurn = 4.71238898038469;  // rad
    if (std::fabs(crankAngle - lastCrankAngle_) > threeQuartersOfATurn) crankWrapped(results);
    lastCrankAngle_ = crankAngle;
}

void IndicatorSampler::crankWrapped(ModelResults& results) {
    results.indicatorCount = writeIndex_;
    writeIndex_ = 0;
}

void IndicatorSampler::sample(ModelResults& results, const CylinderSide& side, double force, bool compressorMode) {
    if (counter_ < stepsPerPoint_) {
        // Standing wheels never make a point due (the limit is infinite);
        // the count stops where a standing engine would overflow it.
        if (counter_ < std::numeric_limits<int>::max()) ++counter_;
        return;
    }
    IndicatorSample& point = results.indicatorSamples[writeIndex_];
    point.pistonTravel = side.pistonTravel;
    point.pressureB = side.spaceB->pressure;
    point.pressureA = side.spaceA->pressure;
    point.crankAngle = side.crankAngle;
    // Along the running direction under steam, against it as compressors.
    const double wheelSpeed = results.wheelSpeed;  // m/s
    if (wheelSpeed != 0.0) {
        const bool pulling = (wheelSpeed > 0.0 && !compressorMode) || (wheelSpeed < 0.0 && compressorMode);
        point.rimForce = pulling ? force : -force;
    }
    counter_ = 0;
    results.indicatorIndex = writeIndex_;
    writeIndex_ = writeIndex_ >= indicatorRingSize - 1 ? 0 : writeIndex_ + 1;
}

}  // namespace zt40
