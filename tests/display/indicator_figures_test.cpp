// The figures beside the indicator diagram as the model hands them over:
// in their units, blank where none is defined, and placed in the frame.
#include "indicator_figures.h"

#include <gtest/gtest.h>

#include <memory>

#include "text_format.h"

namespace zt40 {
namespace {

std::unique_ptr<LocomotiveState> runningAt30Percent() {
    auto copy = std::make_unique<LocomotiveState>();
    copy->reverser = -60;
    EngineIndication& e = copy->indication;
    e.side1 = {128100.0, 256040.0, 486000.0, 1.2117, 8.98};  // J, Pa, W, kg/s, kg/kWh
    e.side2 = {127900.0, 255600.0, 485000.0, 1.2130, 9.00};
    e.engine = {256000.0, 255850.0, 971000.0, 2.4247, 8.99};
    e.rimPower = 861000.0;   // W
    e.turnTime = 0.2635;     // s: 60.1 km/h
    BoilerBalance& b = copy->boilerBalance;
    b = {2.8686, 2.8097, 2.6919, 0.0, 0.1178, 0.0, -0.2842};  // kg/s
    return copy;
}

TEST(IndicatorFigures, ShowEachFigureInItsUnitAndNoneWhereItIsNotDefined) {
    auto copy = runningAt30Percent();
    const auto lines = indicatedFigureLines(*copy);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[1], "Arbeit kJ/U        128.1      127.9      256.0");
    EXPECT_EQ(lines[2], "pmi bar             2.56       2.56       2.56");
    EXPECT_EQ(lines[3], "Leistung kW          486        485        971");
    EXPECT_EQ(lines[4], "Dampf kg/h          4362       4367       8729");
    EXPECT_EQ(lines[5], "Dampf kg/kWh         9.0        9.0        9.0");
    EXPECT_EQ(lines[6], "Füllung 30.0 %  60.1 km/h  am Rad 861 kW");
    for (const std::string& line : lines) EXPECT_LE(characterCount(line), 46u) << line;

    // Braking: negative work, and no steam per kWh.
    copy->indication.side2.steamPerKWh = copy->indication.engine.steamPerKWh = 0.0;
    EXPECT_EQ(indicatedFigureLines(*copy)[5], "Dampf kg/kWh         9.0                      ");

    // Standing wheels: no figures at all, the boiler's balance all the same.
    copy->indication = EngineIndication{};
    EXPECT_TRUE(indicatedFigureLines(*copy).empty());
    const auto table = boilerBalanceLines(*copy, false);
    ASSERT_EQ(table.size(), 8u);
    EXPECT_EQ(table[1], "Dampf erzeugt      10327");
    EXPECT_EQ(table[5], " Injektor            424");
    EXPECT_EQ(table[7], "Kesselwasser       -1023");
    for (const std::string& line : table) EXPECT_EQ(characterCount(line), 24u) << line;
    const auto compact = boilerBalanceLines(*copy, true);
    EXPECT_EQ(compact[0], "Kessel kg/h: erzeugt 10327, verbraucht 10115");
    for (const std::string& line : compact) EXPECT_LE(characterCount(line), 46u) << line;
}

TEST(IndicatorFigures, TheBalanceStandsBesideTheFiguresWhereTheFrameHasRoomElseBelowOrNotAtAll) {
    // The frame of a window 1600 pixels wide, and of one 1000 wide.
    const FigureBlocks wide = placeFigureBlocks(970, 1598, 62, 100);  // beside the figures, above the loops' field
    EXPECT_FALSE(wide.compactBalance);
    EXPECT_TRUE(wide.balanceShown);
    EXPECT_EQ(wide.balance.y, 62);
    EXPECT_GE(wide.balance.x, 970 + 46 * 8);
    EXPECT_LE(wide.balance.x + 24 * 8, 1598);
    const FigureBlocks narrow = placeFigureBlocks(606, 998, 47, 300);
    EXPECT_TRUE(narrow.compactBalance && narrow.balanceShown);
    EXPECT_EQ(narrow.balance.x, 606);
    EXPECT_GE(narrow.balance.y, 47 + 7 * 16);
    EXPECT_EQ(figureBlocksBottom(narrow), narrow.balance.y + 4 * 16);
    // Where the loops reach higher, the balance gives way; the figures stay.
    const FigureBlocks low = placeFigureBlocks(606, 998, 47, 200);
    EXPECT_FALSE(low.balanceShown);
    EXPECT_EQ(figureBlocksBottom(low), 47 + 7 * 16);
}

}  // namespace
}  // namespace zt40
