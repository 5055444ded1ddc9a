#include "joint_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace zt40 {
namespace {

constexpr double scale = 5.0;  // mm per pixel
constexpr double axleX = 160.0, axleY = 960.0;  // px
constexpr double pixelTolerance = 1e-9;

TEST(JointGeometry, CrankPinBelowTheAxleAndTheConnectingRodsLength) {
    const JointPositions down = computeJoints(scale, axleX, axleY, 0.0, 0);
    EXPECT_NEAR(down.crankPin.x, axleX, pixelTolerance);
    EXPECT_NEAR(down.crankPin.y, axleY + 330.0 / scale, pixelTolerance);
    // The rod's 3250 mm reach from the pin to the crosshead on the axle line.
    EXPECT_NEAR(std::hypot(down.crosshead.x - down.crankPin.x, down.crosshead.y - down.crankPin.y), 3250.0 / scale,
                pixelTolerance);
    EXPECT_EQ(down.crosshead.y, axleY);
    EXPECT_EQ(down.pistonX, static_cast<int>(down.crosshead.x + 1555.0 / scale));

    // A quarter turn on, the pin is level with the axle: the crosshead is
    // exactly the rod's length beyond it.
    const JointPositions level = computeJoints(scale, axleX, axleY, std::numbers::pi / 2.0, 0);
    EXPECT_NEAR(level.crankPin.x, axleX + 330.0 / scale, pixelTolerance);
    EXPECT_NEAR(level.crosshead.x - level.crankPin.x, 3250.0 / scale, pixelTolerance);
}

TEST(JointGeometry, TheReverserMovesTheDieBlock) {
    const JointPositions mid = computeJoints(scale, axleX, axleY, 1.0, 0);
    const JointPositions fore = computeJoints(scale, axleX, axleY, 1.0, -100);
    EXPECT_GT(std::fabs(mid.dieBlock.y - fore.dieBlock.y), 1.0);
    EXPECT_NE(mid.rodX, fore.rodX);
    EXPECT_EQ(mid.crosshead.x, fore.crosshead.x);  // the running gear does not care
}

TEST(JointGeometry, EveryJointIsFiniteAtEveryCrankAngleAndReverser) {
    for (double s : {1.0, 5.0, 20.0}) {
        for (int r = -160; r <= 160; r += 2) {
            for (int step = 0; step < 720; ++step) {
                const double a = step * 2.0 * std::numbers::pi / 720.0;
                const JointPositions j = computeJoints(s, axleX, axleY, a, r);
                for (const JointPoint& p : {j.crankPin, j.crosshead, j.returnCrankPin, j.linkFoot, j.linkCentre,
                                            j.dieEstimate, j.combinationTop, j.combinationFoot, j.reversingArm,
                                            j.armMidpoint, j.liftingArm, j.dieBlock}) {
                    ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << "s " << s << " r " << r << " a " << a;
                }
                ASSERT_TRUE(std::isfinite(j.rodX) && std::isfinite(j.linkAngle));
            }
        }
    }
}

TEST(JointGeometry, TheValveSpindleStrokesAsTheWheelTurns) {
    double lowest = 1e9, highest = -1e9;
    for (int step = 0; step < 360; ++step) {
        const JointPositions j = computeJoints(scale, axleX, axleY, step * std::numbers::pi / 180.0, -160);
        lowest = std::min(lowest, j.rodX);
        highest = std::max(highest, j.rodX);
    }
    // Full gear moves the piston valve by a good part of its travel.
    EXPECT_GT((highest - lowest) * scale, 100.0);  // mm
    EXPECT_LT((highest - lowest) * scale, 400.0);  // mm
}

}  // namespace
}  // namespace zt40
