#include "state_flow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace zt40 {
namespace {

// Where each listed field lies in the block.
struct FieldExtent {
    std::size_t offset;
    std::size_t size;
    std::size_t alignment;
};

struct ExtentCollector {
    const SimulationBlock& block;
    std::vector<FieldExtent>& extents;

    template <class T>
    void add(T SimulationBlock::*field) const {
        const auto* base = reinterpret_cast<const unsigned char*>(&block);
        const auto* at = reinterpret_cast<const unsigned char*>(&(block.*field));
        extents.push_back({static_cast<std::size_t>(at - base), sizeof(T), alignof(T)});
    }
    template <class T>
    void in(T SimulationBlock::*field) const { add(field); }
    template <class T>
    void out(T SimulationBlock::*field) const { add(field); }
    void both(double SimulationBlock::*field, double TwoWayMemory::*) const { add(field); }
    void request(bool SimulationBlock::*field) const { add(field); }
};

TEST(SimulationFlow, EveryFieldOfTheBlockIsListedExactlyOnce) {
    static SimulationBlock block{};
    std::vector<FieldExtent> extents;
    visitSimulationFlow(ExtentCollector{block, extents});
    std::sort(extents.begin(), extents.end(), [](auto& a, auto& b) { return a.offset < b.offset; });

    // Between listed fields there may only be alignment padding: a field
    // left out of the list would show as a gap at least its own size.
    std::size_t end = 0;
    for (const FieldExtent& e : extents) {
        ASSERT_GE(e.offset, end) << "fields listed twice or overlapping at offset " << e.offset;
        EXPECT_LT(e.offset - end, e.alignment) << "unlisted field before offset " << e.offset;
        end = e.offset + e.size;
    }
    EXPECT_LT(sizeof(SimulationBlock) - end, alignof(SimulationBlock)) << "unlisted field at the end";
}

class ExchangeFields : public ::testing::Test {
protected:
    void SetUp() override {
        mainCopy = std::make_unique<SimulationBlock>();
        simCopy = std::make_unique<SimulationBlock>();
        rememberTwoWayFields(*mainCopy, memory);
    }
    std::unique_ptr<SimulationBlock> mainCopy;
    std::unique_ptr<SimulationBlock> simCopy;
    TwoWayMemory memory{};
};

TEST_F(ExchangeFields, InputsGoInResultsComeOut) {
    mainCopy->reverser = -100;
    mainCopy->brake = 130;
    mainCopy->fineTimer = true;
    mainCopy->wheelAngle = 9.0;  // a main-thread write to a result is overwritten
    simCopy->wheelAngle = 1.5;
    simCopy->indicatorSamples[699].crankAngle = 1.25;
    simCopy->boilerSteam.pressure = 1400000.0;
    simCopy->reverser = 40;

    exchangeFields(*mainCopy, *simCopy, memory);

    EXPECT_EQ(simCopy->reverser, -100);
    EXPECT_EQ(simCopy->brake, 130);
    EXPECT_TRUE(simCopy->fineTimer);
    EXPECT_EQ(mainCopy->wheelAngle, 1.5);
    EXPECT_EQ(mainCopy->indicatorSamples[699].crankAngle, 1.25);
    EXPECT_EQ(mainCopy->boilerSteam.pressure, 1400000.0);
}

TEST_F(ExchangeFields, TwoWayFieldsKeepAMainThreadChange) {
    simCopy->tankWater = 7000.0;
    simCopy->simTime = 12.0;
    exchangeFields(*mainCopy, *simCopy, memory);  // nothing changed on the main side
    EXPECT_EQ(mainCopy->tankWater, 7000.0);
    EXPECT_EQ(mainCopy->simTime, 12.0);

    // The simulation moves on; the main thread refills the tanks meanwhile.
    simCopy->tankWater = 6990.0;
    simCopy->simTime = 13.0;
    mainCopy->tankWater = 12000.0;
    exchangeFields(*mainCopy, *simCopy, memory);
    EXPECT_EQ(simCopy->tankWater, 12000.0);
    EXPECT_EQ(mainCopy->tankWater, 12000.0);
    EXPECT_EQ(mainCopy->simTime, 13.0);

    // Unchanged again: the simulation's value wins.
    simCopy->tankWater = 11990.0;
    exchangeFields(*mainCopy, *simCopy, memory);
    EXPECT_EQ(mainCopy->tankWater, 11990.0);

    for (double SimulationBlock::*field :
         {&SimulationBlock::trainSpeed, &SimulationBlock::cylinderWallTemp}) {
        (*mainCopy).*field = 42.0;
        exchangeFields(*mainCopy, *simCopy, memory);
        EXPECT_EQ((*simCopy).*field, 42.0);
    }
}

TEST_F(ExchangeFields, ResetRequestReachesTheSimulationOnce) {
    mainCopy->resetSpaces = true;  // the temperature keys ask for it
    exchangeFields(*mainCopy, *simCopy, memory);
    EXPECT_TRUE(simCopy->resetSpaces);
    EXPECT_FALSE(mainCopy->resetSpaces);

    // Still pending in the simulation (no sub-step ran): not cancelled by an
    // exchange without a new request.
    exchangeFields(*mainCopy, *simCopy, memory);
    EXPECT_TRUE(simCopy->resetSpaces);

    simCopy->resetSpaces = false;  // carried out
    exchangeFields(*mainCopy, *simCopy, memory);
    EXPECT_FALSE(simCopy->resetSpaces);
    EXPECT_FALSE(mainCopy->resetSpaces);
}

}  // namespace
}  // namespace zt40
