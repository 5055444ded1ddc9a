#include "cylinders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "model_fixtures.h"

namespace zt40 {
namespace {

using std::numbers::pi;
constexpr double dt = 0.00015;  // s

GasSpace spaceAt(double pressure, double temperature, double volume) {
    GasSpace s{true, pressure, 0.0, temperature, volume, 0.0};
    massFromPressure(s);
    return s;
}

void setPressure(GasSpace& space, double pressure) {
    space.pressure = pressure;
    massFromPressure(space);
}

// One cylinder side with its own spaces, a steam chest and exhaust passage.
class CylinderSideTest : public ::testing::Test {
protected:
    void SetUp() override {
        block = testing::engineInSteam();
        block->valvesEngaged = true;
        block->steamChest = spaceAt(1200000.0, 520.0, 0.1);
        block->exhaustSpace = spaceAt(0.0, 400.0, 0.1);
        atmosphere = spaceAt(0.0, 288.0, steam::atmosphereVolume);
        side.spaceA = &spaceA;
        side.spaceB = &spaceB;
        buildSide(side, 0.0, 450.0);
        wall = 450.0;
    }
    // Turns the crank through one revolution at 2 m/s (backwards, as in
    // fore gear); returns the mean magnitude of the rim force, N.
    double revolution() {
        const ValveEvents events = computeValveEvents(*block);
        CylinderSurroundings around{block->steamChest, block->exhaustSpace, atmosphere, wall, dt, false,
                                    events.compressorMode};
        double total = 0.0;
        const int steps = static_cast<int>(2.0 * pi / (2.0 * dt / 0.7));
        for (int i = 0; i < steps; ++i) {
            spaceA.previousVolume = spaceA.volume;
            spaceB.previousVolume = spaceB.volume;
            placeCrank(side, 2.0 * pi - i * 2.0 * pi / steps);
            total += std::fabs(runSide(side, *block, events, around));
            setPressure(block->steamChest, 1200000.0);  // the superheater keeps it up
        }
        return total / steps;
    }
    std::unique_ptr<SimulationBlock> block;
    GasSpace atmosphere{};
    CylinderSpace spaceA{};
    CylinderSpace spaceB{};
    CylinderSide side{};
    double wall = 450.0;  // K
};

TEST_F(CylinderSideTest, PortAreaFollowsTheCutOff) {
    const ValveEvents events = computeValveEvents(*block);
    CylinderSurroundings around{block->steamChest, block->exhaustSpace, atmosphere, wall, dt, false, false};
    const struct {
        int reverser;
        double share;
    } cases[] = {{0, 0.0}, {20, 0.16}, {-20, 0.16}, {50, 1.0}, {-50, 1.0}, {160, 1.0}, {-160, 1.0}};
    for (const auto& c : cases) {
        block->reverser = c.reverser;
        runSide(side, *block, events, around);
        EXPECT_NEAR(side.effectivePortArea, c.share * block->portArea, 1e-15) << "reverser " << c.reverser;
    }
}

TEST_F(CylinderSideTest, ValveEventsMoveSteadilyWithTheReverser) {
    // The two laws for short and long cut-offs meet near 20 %.
    block->reverser = 40;
    const ValveEvents shortCutOff = computeValveEvents(*block);
    block->reverser = 41;
    const ValveEvents longCutOff = computeValveEvents(*block);
    EXPECT_NEAR(shortCutOff.exhaustEnd, longCutOff.exhaustEnd, 0.02);
    EXPECT_NEAR(shortCutOff.expansionEnd, longCutOff.expansionEnd, 0.02);
    // Events are the same for fore and back gear.
    block->reverser = -100;
    const ValveEvents fore = computeValveEvents(*block);
    block->reverser = 100;
    const ValveEvents back = computeValveEvents(*block);
    EXPECT_EQ(fore.exhaustEnd, back.exhaustEnd);
    EXPECT_EQ(fore.expansionEnd, back.expansionEnd);
}

TEST_F(CylinderSideTest, CompressorModeOnlyAgainstTheTurningWheels) {
    block->wheelSpeed = 5.0;  // running forward
    block->reverser = 100;    // laid backwards
    EXPECT_TRUE(computeValveEvents(*block).compressorMode);
    block->reverser = -100;
    EXPECT_FALSE(computeValveEvents(*block).compressorMode);
    block->reverser = 1;
    EXPECT_FALSE(computeValveEvents(*block).compressorMode);
    block->reverser = 100;
    block->valvesEngaged = false;  // idle valves make no compressor
    EXPECT_FALSE(computeValveEvents(*block).compressorMode);
    block->valvesEngaged = true;
    block->wheelSpeed = -5.0;
    block->reverser = -2;
    EXPECT_TRUE(computeValveEvents(*block).compressorMode);
}

TEST_F(CylinderSideTest, MidGearAdmitsNoSteam) {
    block->reverser = 0;
    const ValveEvents events = computeValveEvents(*block);
    CylinderSurroundings around{block->steamChest, block->exhaustSpace, atmosphere, wall, dt, false, false};
    const double chestMass = block->steamChest.steamMass;
    for (int i = 0; i < 720; ++i) {
        placeCrank(side, 2.0 * pi - i * 2.0 * pi / 720);
        runSide(side, *block, events, around);
    }
    EXPECT_EQ(block->steamChest.steamMass, chestMass);
}

TEST_F(CylinderSideTest, IdleValvesGiveAlmostNoForce) {
    block->reverser = -160;
    const double working = revolution();
    block->valvesEngaged = false;
    const double idle = revolution();
    EXPECT_GT(working, 20000.0);  // N, full gear at 12 bar
    EXPECT_LT(idle, 0.05 * working);  // only the pumping through the ports
}

TEST_F(CylinderSideTest, SideOneReliefHoldsBetween10And16BarSideTwoDropsBelow16) {
    block->cylinder1SpaceA = spaceA;
    block->cylinder1SpaceB = spaceB;
    setPressure(block->cylinder1SpaceA, 1700000.0);
    ventSide1(*block, atmosphere, 1e-6, dt);
    EXPECT_TRUE(block->reliefA1);
    EXPECT_FALSE(block->reliefB1);
    EXPECT_LT(block->cylinder1SpaceA.pressure, 1700000.0);  // it blew off
    setPressure(block->cylinder1SpaceA, 1200000.0);
    ventSide1(*block, atmosphere, 1e-6, dt);
    EXPECT_TRUE(block->reliefA1);
    setPressure(block->cylinder1SpaceA, 900000.0);
    ventSide1(*block, atmosphere, 1e-6, dt);
    EXPECT_FALSE(block->reliefA1);

    setPressure(spaceB, 1700000.0);
    ventSide2(*block, side, atmosphere, 1e-6, dt);
    EXPECT_TRUE(block->reliefSide2);
    setPressure(spaceB, 1500000.0);
    ventSide2(*block, side, atmosphere, 1e-6, dt);
    EXPECT_FALSE(block->reliefSide2);
    EXPECT_FALSE(block->cylinderCoverBurst);

    setPressure(spaceA, 2100000.0);
    ventSide2(*block, side, atmosphere, 1e-6, dt);
    EXPECT_TRUE(block->cylinderCoverBurst);
}

TEST_F(CylinderSideTest, AWaterFilledSpaceBurstsItsCoverAtAnyPressure) {
    block->cylinder1SpaceA = spaceA;
    block->cylinder1SpaceB = spaceB;
    CylinderSide side1{&block->cylinder1SpaceA, &block->cylinder1SpaceB, 0, 0, 0, 0, 0, 0, 0, 0};
    block->cylinder1SpaceB.waterMass = 20.0;  // kg, more than the clearance holds at dead centre
    placeCrank(side1, 0.0);
    ventSide1(*block, atmosphere, 1e-6, dt);
    EXPECT_LT(block->cylinder1SpaceB.pressure, 100000.0);
    EXPECT_TRUE(block->cylinderCoverBurst);
}

TEST(CylinderGeometry, DeadCentresAndVolumes) {
    CylinderSpace a{}, b{};
    CylinderSide side{&a, &b, 0, 0, 0, 0, 0, 0, 0, 0};
    placeCrank(side, 0.0);
    EXPECT_NEAR(side.pistonTravel, 0.0, 1e-12);
    EXPECT_NEAR(b.volume, cylinder::clearanceVolume, 1e-12);
    placeCrank(side, pi);
    EXPECT_NEAR(side.pistonTravel, cylinder::stroke, 1e-12);
    EXPECT_NEAR(a.volume, cylinder::clearanceVolume, 1e-12);
    placeCrank(side, 2.0 * pi + 0.5);  // wrapped once
    EXPECT_NEAR(side.crankAngle, 0.5, 1e-12);
}

TEST(Pyrometer, LagsBehindTheSteamChest) {
    auto block = testing::engineInSteam();
    block->steamChestPyrometer = 400.0;
    block->steamChest.temperature = 600.0;
    lagPyrometer(*block, 0.01);
    EXPECT_NEAR(block->steamChestPyrometer, 400.0 + 200.0 / 600.0 * 0.01 * 20.0, 1e-12);
    for (int i = 0; i < 100000; ++i) lagPyrometer(*block, 0.01);
    EXPECT_NEAR(block->steamChestPyrometer, 600.0, 0.01);
    EXPECT_LE(block->steamChestPyrometer, 600.0);  // never beyond the chest
}

TEST(BlastPipe, WaterInTheExhaustIsSpatOut) {
    auto block = testing::engineInSteam();
    block->exhaustSpace = spaceAt(150000.0, 400.0, 0.1);
    GasSpace atmosphere = spaceAt(0.0, 288.0, steam::atmosphereVolume);
    GasSpace superheater = spaceAt(0.0, 600.0, 1.5);
    CylinderSpace a{}, b{};
    CylinderSide side2{&a, &b, 0, 0, 0, 0, 0, 0, 0, 0};
    exhaustAndCool(*block, superheater, atmosphere, side2, false, dt);
    EXPECT_GT(block->blastPipeFlow, 0.0);
    EXPECT_EQ(block->blastPipeAuxFlow, 0.0);  // dry exhaust

    block->exhaustSpace = spaceAt(150000.0, 400.0, 0.08);
    block->exhaustSpace.waterMass = 20.0;  // kg lying in the passage
    exhaustAndCool(*block, superheater, atmosphere, side2, false, dt);
    EXPECT_GT(block->blastPipeAuxFlow, 0.5);  // kg/s: the engine spits water
    EXPECT_LT(block->exhaustSpace.waterMass, 20.0);
}

}  // namespace
}  // namespace zt40
