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

void IndicatorSampler::noticeSide1Wrap(SimulationBlock& block, double crankAngle) {
    // A jump of more than three quarters of a turn is the crank passing 2π.
    constexpr double threeQuartersOfATurn = 4.71238898038469;  // rad
    if (std::fabs(crankAngle - lastCrankAngle_) > threeQuartersOfATurn) crankWrapped(block);
    lastCrankAngle_ = crankAngle;
}

void IndicatorSampler::crankWrapped(SimulationBlock& block) {
    block.indicatorCount = writeIndex_;
    writeIndex_ = 0;
}

void IndicatorSampler::sample(SimulationBlock& block, const CylinderSide& side, double force, bool compressorMode) {
    if (counter_ < stepsPerPoint_) {
        // Standing wheels never make a point due (the limit is infinite);
        // the count stops where a standing engine would overflow it.
        if (counter_ < std::numeric_limits<int>::max()) ++counter_;
        return;
    }
    IndicatorSample& point = block.indicatorSamples[writeIndex_];
    point.pistonTravel = side.pistonTravel;
    point.pressureB = side.spaceB->pressure;
    point.pressureA = side.spaceA->pressure;
    point.crankAngle = side.crankAngle;
    // Along the running direction under steam, against it as compressors.
    if (block.wheelSpeed != 0.0) {
        const bool pulling = (block.wheelSpeed > 0.0 && !compressorMode) || (block.wheelSpeed < 0.0 && compressorMode);
        point.rimForce = pulling ? force : -force;
    }
    counter_ = 0;
    block.indicatorIndex = writeIndex_;
    writeIndex_ = writeIndex_ >= indicatorRingSize - 1 ? 0 : writeIndex_ + 1;
}

}  // namespace zt40
