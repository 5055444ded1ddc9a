#include "simulation_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

#include "model_fixtures.h"

namespace zt40 {
namespace {

using std::numbers::pi;

struct BeatCount {
    double turns = 0.0;  // of the driving wheels
    int exhaust = 0;
    int intoChest = 0;
    int sideChanges = 0;  // between one beat and the next
};

// Runs `exchanges` batches after a second to settle; counts the beats and
// the wheel turns, and checks every batch's beats lie within it.
BeatCount countBeats(SimulationBlock& block, int exchanges) {
    SimulationModel model;
    model.start(block);
    testing::runModel(model, block, 1.0);
    BeatCount count;
    int lastSide = 0;
    double lastAngle = block.wheelAngle;  // rad
    for (int i = 0; i < exchanges; ++i) {
        const std::uint32_t batch = block.exhaustBeats.batch;
        model.runExchange(block);
        EXPECT_EQ(block.exhaustBeats.batch, batch + 1);
        EXPECT_NEAR(block.exhaustBeats.span, 0.015, 1e-12);
        const double turned = std::fabs(block.wheelAngle - lastAngle);  // rad
        count.turns += std::min(turned, 2.0 * pi - turned) / (2.0 * pi);
        lastAngle = block.wheelAngle;
        double lastTime = 0.0;
        for (int k = 0; k < block.exhaustBeats.count; ++k) {
            const ExhaustBeat& beat = block.exhaustBeats.beats[k];
            EXPECT_GE(beat.time, lastTime);
            EXPECT_LT(beat.time, block.exhaustBeats.span);
            EXPECT_GT(beat.steam, 0.0);
            EXPECT_EQ(beat.cutOff, std::abs(block.reverser) / 200.0);
            lastTime = beat.time;
            (beat.intoChest ? count.intoChest : count.exhaust) += 1;
            if (lastSide != 0 && beat.side != lastSide) ++count.sideChanges;
            lastSide = beat.side;
        }
    }
    return count;
}

TEST(ExhaustBeats, FourBeatsAWheelTurnFromTheCranksWhateverTheRailDoes) {
    struct Case {
        const char* name;
        std::function<void(SimulationBlock&)> setUp;
        bool intoChest;  // counter-pressure braking: the throttle puffs, the blast pipe is silent
        bool slips = false;  // the wheels slip
    };
    const Case cases[] = {
        {"full gear at 36 km/h", [](SimulationBlock&) {}, false},
        {"20 % cut-off", [](SimulationBlock& b) { b.reverser = -40; }, false},
        {"slipping from a stand",
         [](SimulationBlock& b) {
             b.trainSpeed = 0.0;
             b.frictionFactor = 0.03;
         },
         false, true},
        {"counter-pressure brake",
         [](SimulationBlock& b) {
             b.reverser = 100;
             b.pilotValve = b.regulator = 0;
             b.counterPressureThrottle = 50;
             b.blastPipeClosed = true;
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto block = testing::engineInSteam();
        block->valvesEngaged = true;
        block->trainWeight = 300;
        block->reverser = -160;
        block->pilotValve = 115;
        block->regulator = 40;
        block->trainSpeed = 10.0;  // m/s
        c.setUp(*block);
        const BeatCount count = countBeats(*block, 400);
        EXPECT_EQ(block->wheelSlip, c.slips);
        ASSERT_GT(count.turns, 3.0);
        EXPECT_NEAR(c.intoChest ? count.intoChest : count.exhaust, 4.0 * count.turns, 1.0);
        EXPECT_EQ(c.intoChest ? count.exhaust : count.intoChest, 0);
        // Quartered cranks: the sides take turns.
        EXPECT_EQ(count.sideChanges, count.exhaust + count.intoChest - 1);
    }
}

TEST(ExhaustBeats, AStandingEngineWithTheRegulatorShutGivesNone) {
    auto block = testing::engineInSteam();
    block->valvesEngaged = true;
    block->reverser = -160;
    const BeatCount count = countBeats(*block, 200);
    EXPECT_EQ(count.exhaust + count.intoChest, 0);
    EXPECT_EQ(count.turns, 0.0);
}

}  // namespace
}  // namespace zt40
