// The engine driven whole, fire to rail, as the program runs it: model,
// main tick, operating aids and the frame's rules for the piston valves.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include "cylinders.h"
#include "engine_fixtures.h"

namespace zt40 {
namespace {

using testing::EngineDrive;

// Unwrapped change of the wheel angle over `seconds`, rad.
double wheelTurn(EngineDrive& drive, double seconds) {
    double turned = 0.0;
    const double end = drive->simTime + seconds;
    while (drive->simTime < end) {
        const double before = drive->wheelAngle;
        drive.run(0.015);
        double change = drive->wheelAngle - before;
        if (change > std::numbers::pi) change -= 2.0 * std::numbers::pi;
        if (change < -std::numbers::pi) change += 2.0 * std::numbers::pi;
        turned += change;
    }
    return turned;
}

TEST(Drive, ForeGearStartsForwardBackGearBackward) {
    for (int reverser : {-160, 160}) {
        EngineDrive drive;
        drive->reverser = reverser;
        drive->pilotValve = 115;
        drive.run(10.0);
        EXPECT_TRUE(drive->valvesEngaged);
        const double turned = wheelTurn(drive, 5.0);
        if (reverser < 0) {
            EXPECT_GT(drive->trainSpeed, 0.3) << "fore gear";
            EXPECT_LT(turned, -1.0);  // the wheel angle falls running forward
        } else {
            EXPECT_LT(drive->trainSpeed, -0.3) << "back gear";
            EXPECT_GT(turned, 1.0);
        }
        EXPECT_LT(drive->distance * reverser, 0.0);  // travelled the same way
        EXPECT_FALSE(drive.engine().damaged());
    }
}

// A point is due once the counter reaches (sub-steps per turn)/699 - 1, so
// whole sub-steps give between half and all of the 699 points a turn.
TEST(Drive, TheIndicatorFillsItsRingOncePerRevolution) {
    for (bool side2 : {false, true}) {
        EngineDrive drive([&](LocomotiveState& s) {
            s.indicatorSide = side2;
            s.trainWeight = 300;
            s.cylinderWallTemp = 400.0;  // K
        });
        testing::startAndNotchUp(drive);
        drive.run(60.0);
        EXPECT_GT(drive->trainSpeed, 5.0);
        EXPECT_GE(drive->indicatorCount, 350) << "side 2: " << side2;
        EXPECT_LE(drive->indicatorCount, indicatorRingSize);
        // The last point lies within the stroke and the turn.
        const IndicatorSample& last = drive->indicatorSamples[drive->indicatorIndex];
        EXPECT_GE(last.pistonTravel, 0.0);
        EXPECT_LE(last.pistonTravel, cylinder::stroke);
        EXPECT_GE(last.crankAngle, 0.0);
        EXPECT_LT(last.crankAngle, 2.0 * std::numbers::pi);
    }
}

TEST(Drive, ATrainSettlesToASteadySpeedOnTheLevel) {
    EngineDrive drive([](LocomotiveState& s) {
        s.trainWeight = 300;
        s.cylinderWallTemp = 400.0;  // K
    });
    testing::startAndNotchUp(drive);
    drive.run(100.0);
    const double firstGain = drive->trainSpeed;  // m/s in the first 100 s
    drive.run(400.0);
    const double before = drive->trainSpeed;
    drive.run(100.0);
    EXPECT_GT(firstGain, 5.0);
    EXPECT_LT(drive->trainSpeed - before, 0.1 * firstGain);  // the cylinders' back pressure balances
    EXPECT_FALSE(drive->wheelSlip);
}

TEST(Drive, CounterPressureBrakeHoldsATrainOnTheDownGradient) {
    EngineDrive drive([](LocomotiveState& s) {
        s.trainWeight = 300;
        s.gradient = -20;
        s.trainSpeed = s.wheelSpeed = 12.0;
        s.valvesEngaged = true;
    });
    drive->reverser = 100;  // laid against the motion
    drive->blastPipeClosed = true;
    drive->counterPressureThrottle = 20;
    drive->cylinderWaterInjection = 20;
    drive.run(120.0);
    const double held = drive->trainSpeed;
    double lowest = held, highest = held;
    for (int i = 0; i < 180; ++i) {
        drive.run(1.0);
        lowest = std::min(lowest, drive->trainSpeed);
        highest = std::max(highest, drive->trainSpeed);
        // The compressed steam holds the chest at the throttle's working pressure.
        ASSERT_GT(drive->steamChest.pressure, 400000.0);
        ASSERT_GT(drive->counterPressureThrottleFlow, 0.0);
    }
    // Unbraked, 20 per mille would add some 35 m/s in these three minutes.
    EXPECT_GT(lowest, 3.0);
    EXPECT_LT(highest - lowest, 3.0);
}

TEST(Drive, TheSameDriveGivesTheSameStateToTheBit) {
    const auto setUp = [](LocomotiveState& s) { s.trainWeight = 200; };
    EngineDrive first(setUp), second(setUp);
    for (EngineDrive* drive : {&first, &second}) {
        drive->state().reverser = -100;
        drive->state().pilotValve = 100;
        drive->run(30.0);
    }
    const SimulationBlock& a = first.state();
    const SimulationBlock& b = second.state();
    EXPECT_EQ(std::memcmp(&a, &b, sizeof(SimulationBlock)), 0);
    EXPECT_GT(first->trainSpeed, 0.0);
}

}  // namespace
}  // namespace zt40
