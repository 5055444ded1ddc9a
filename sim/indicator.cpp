#include "indicator.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "numeric.h"

namespace zt40 {

void IndicatorSampler::followPixelFrame(SimulationBlock& block) {
    if (block.displayScale == frameScale_ && block.clientWidth == frameOrigin_ && block.indicatorSide == frameSide_) {
        return;
    }
    frameScale_ = block.displayScale;
    frameOrigin_ = block.clientWidth;
    frameSide_ = block.indicatorSide;
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
    // Design millimetres to client pixels.
    const double scale = block.displayScale;  // mm per pixel
    const double originX = block.clientWidth;  // px
    IndicatorPoint& p = block.indicatorSamples[0][writeIndex_];
    IndicatorPoint& q = block.indicatorSamples[1][writeIndex_];
    IndicatorPoint& r = block.indicatorSamples[2][writeIndex_];
    p.x = q.x = truncateTo<std::int32_t>(side.pistonTravel * 4545.454545 / scale + originX - 3100.0 / scale);
    p.y = truncateTo<std::int32_t>(2700.0 / scale - side.spaceB->pressure * 0.00166666 / scale);
    q.y = truncateTo<std::int32_t>(2700.0 / scale - side.spaceA->pressure * 0.00166666 / scale);
    r.x = truncateTo<std::int32_t>(originX - (side.crankAngle * 3000.0 / (2.0 * std::numbers::pi) + 100.0) / scale);
    if (block.wheelSpeed != 0.0) {
        const bool pulling = (block.wheelSpeed > 0.0 && !compressorMode) || (block.wheelSpeed < 0.0 && compressorMode);
        const double offset = force * 0.0111111 / scale;  // px
        r.y = truncateTo<std::int32_t>(pulling ? 2700.0 / scale - offset : 2700.0 / scale + offset);
    }
    counter_ = 0;
    block.indicatorIndex = writeIndex_;
    writeIndex_ = writeIndex_ >= indicatorRingSize - 1 ? 0 : writeIndex_ + 1;
}

}  // namespace zt40
