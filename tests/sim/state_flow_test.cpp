#include "state_flow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <type_traits>
#include <utility>
#include <vector>

namespace zt40 {
namespace {

// How many initialisers an aggregate takes at most: one per field, one per
// element of an array of aggregates. Found by trying to brace-initialise it
// from ever more values that turn into anything.
struct AnyField {
    template <class T>
    operator T() const;  // only ever named, never called
};

template <class Part, std::size_t... I>
constexpr bool takesInitialisers(std::index_sequence<I...>) {
    return requires { Part{(static_cast<void>(I), AnyField{})...}; };
}

template <class Part, std::size_t N>
constexpr bool takes = takesInitialisers<Part>(std::make_index_sequence<N>{});

template <class Part, std::size_t Low = 0, std::size_t High = 1>
constexpr std::size_t initialiserCount() {
    if constexpr (takes<Part, High>) {
        return initialiserCount<Part, High, High * 2>();
    } else if constexpr (High - Low <= 1) {
        return Low;
    } else {
        constexpr std::size_t middle = (Low + High) / 2;
        if constexpr (takes<Part, middle>) return initialiserCount<Part, middle, High>();
        else return initialiserCount<Part, Low, middle>();
    }
}

// Where each listed field lies in the part that holds it, and how many
// initialisers it takes.
struct FieldExtent {
    std::size_t offset;
    std::size_t size;
    std::size_t initialisers;
};

struct ListedExtents {
    std::vector<FieldExtent> inputs;
    std::vector<FieldExtent> shared;
    std::vector<FieldExtent> results;
};

template <class Part, class T>
FieldExtent extentIn(const Part& part, T Part::*field) {
    const auto* base = reinterpret_cast<const unsigned char*>(&part);
    const auto* at = reinterpret_cast<const unsigned char*>(&(part.*field));
    const std::size_t initialisers = std::is_array_v<T> ? std::extent_v<T> : 1;
    return {static_cast<std::size_t>(at - base), sizeof(T), initialisers};
}

struct ExtentCollector {
    const SimulationBlock& block;
    ListedExtents& listed;

    template <class T>
    void in(T ModelInputs::*field) const { listed.inputs.push_back(extentIn<ModelInputs>(block, field)); }
    template <class T>
    void out(T ModelResults::*field) const { listed.results.push_back(extentIn<ModelResults>(block, field)); }
    void both(double SharedValues::*field, double TwoWayMemory::*) const {
        listed.shared.push_back(extentIn<SharedValues>(block, field));
    }
    void request(bool SharedValues::*field) const { listed.shared.push_back(extentIn<SharedValues>(block, field)); }
};

// The listed fields do not overlap and are as many as the part has.
template <class Part>
void expectEveryFieldOnce(std::vector<FieldExtent> extents, const char* part) {
    std::sort(extents.begin(), extents.end(), [](auto& a, auto& b) { return a.offset < b.offset; });
    std::size_t end = 0, initialisers = 0;
    for (const FieldExtent& e : extents) {
        EXPECT_GE(e.offset, end) << part << ": a field listed twice or overlapping at offset " << e.offset;
        end = e.offset + e.size;
        initialisers += e.initialisers;
    }
    EXPECT_EQ(initialisers, initialiserCount<Part>()) << part << ": a field is not listed";
}

// The list names each field through its part, so a field in the wrong
// direction does not compile; here each direction must cover its part.
TEST(SimulationFlow, EachDirectionListsEveryFieldOfItsPartOnce) {
    static SimulationBlock block{};
    ListedExtents listed;
    visitSimulationFlow(ExtentCollector{block, listed});
    expectEveryFieldOnce<ModelInputs>(listed.inputs, "inputs");
    expectEveryFieldOnce<SharedValues>(listed.shared, "both sides");
    expectEveryFieldOnce<ModelResults>(listed.results, "results");
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

    for (double SharedValues::*field : {&SharedValues::trainSpeed, &SharedValues::cylinderWallTemp}) {
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
