#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <random>
#include <vector>

#include "config_fixtures.h"
#include "configuration.h"
#include "configuration_file.h"
#include "track_list.h"
#include "track_walker.h"

namespace zt40 {
namespace {

using testing::FreshRecord;

struct Row {
    double position;
    float friction;
    int gradient;
};

std::vector<Row> profile(const LocomotiveState& s) {
    std::vector<Row> rows;
    for (const TrackPoint* p = s.trackHead; p && p != s.trackTail; p = p->next) {
        rows.push_back({p->position, p->friction, p->gradient});
    }
    return rows;
}

void readRows(LocomotiveState& s, TrackAllocator& allocator, const std::string& rows) {
    readConfiguration("Streckendaten:\r\n" + rows, s, allocator);
}

TEST(TrackRows, DescendingRowsAreStoredAscendingTheFirstOfAPositionWins) {
    TrackAllocator allocator;
    FreshRecord record(allocator);
    readRows(*record.state, allocator,
             "3000;0.2;3\r\n2000;0.21;2\r\n1000;0.22;1\r\n2000;0.29;9\r\n2500;0.23;4\r\n4000;0.24;-4");
    const auto rows = profile(*record.state);
    ASSERT_EQ(rows.size(), 5u);  // the last row has no line end but counts
    const double positions[] = {1000, 2000, 2500, 3000, 4000};
    for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].position, positions[i]);
    EXPECT_EQ(rows[1].gradient, 2);  // not the later 9
    EXPECT_EQ(rows[4].gradient, -4);
    // The links hold both ways.
    for (const TrackPoint* p = record.state->trackHead; p->next; p = p->next) EXPECT_EQ(p->next->prev, p);
}

TEST(TrackRows, ManyUnsortedRowsLoadSortedWithTheFirstOfEachPosition) {
    std::mt19937 draw(42);
    std::string rows;
    std::map<double, int> expected;  // position: gradient of its first row
    for (int i = 0; i < 20000; ++i) {
        const double position = static_cast<double>(draw() % 15000);  // many repeats
        const int gradient = static_cast<int>(draw() % 201) - 100;
        rows += std::to_string(position) + ";0.2;" + std::to_string(gradient) + "\r\n";
        expected.emplace(position, gradient);
    }
    TrackAllocator allocator;
    FreshRecord record(allocator);
    readRows(*record.state, allocator, rows);
    const auto loaded = profile(*record.state);
    ASSERT_EQ(loaded.size(), expected.size());
    auto want = expected.begin();
    for (std::size_t i = 0; i < loaded.size(); ++i, ++want) {
        ASSERT_EQ(loaded[i].position, want->first) << i;
        ASSERT_EQ(loaded[i].gradient, want->second) << i;
    }
    for (const TrackPoint* p = record.state->trackHead; p->next; p = p->next) ASSERT_EQ(p->next->prev, p);
}

TEST(TrackRows, ValuesAreClampedWholeAndCommasAccepted) {
    TrackAllocator allocator;
    FreshRecord record(allocator);
    readRows(*record.state, allocator, "100;0.5;-150\r\n200;0,01;300\r\n\r\n300,5;0.1;-128\r\n");
    const auto rows = profile(*record.state);
    ASSERT_EQ(rows.size(), 3u);  // the blank line is no row
    EXPECT_FLOAT_EQ(rows[0].friction, 0.3f);
    EXPECT_EQ(rows[0].gradient, -100);  // downhill stays downhill
    EXPECT_FLOAT_EQ(rows[1].friction, 0.05f);
    EXPECT_EQ(rows[1].gradient, 100);
    EXPECT_EQ(rows[2].position, 300.5);
    EXPECT_EQ(rows[2].gradient, -100);
}

TEST(TrackRows, EveryRowTakenSurvivesASaveAndAReload) {
    // Positions a file cannot hold again are not taken; rows that would
    // meet when written to a tenth of a millimetre meet when read.
    const std::string rows = std::string("1e259;0.2;1\r\n") + "-1e300;0.2;2\r\n" + "100000000.0001;0.2;3\r\n" +
                             "100000000;0.2;4\r\n-100000000;0.2;5\r\n" + "1.00001;0.1234567;6\r\n" +
                             "1.00004;0.2;7\r\n1.00006;0.2;8\r\n" + "12.3456789;0.2999999;9\r\n";
    TrackAllocator allocator;
    FreshRecord first(allocator);
    readRows(*first.state, allocator, rows);
    const auto taken = profile(*first.state);
    const std::string text = configurationText(*first.state);
    FreshRecord second(allocator);
    readConfiguration(text, *second.state, allocator);
    const auto reloaded = profile(*second.state);
    EXPECT_EQ(configurationText(*second.state), text);
    ASSERT_EQ(taken.size(), 5u);
    ASSERT_EQ(reloaded.size(), taken.size());
    const int gradients[] = {5, 6, 8, 9, 4};
    for (std::size_t i = 0; i < taken.size(); ++i) {
        EXPECT_EQ(taken[i].gradient, gradients[i]) << i;
        EXPECT_EQ(reloaded[i].position, taken[i].position) << i;
        EXPECT_EQ(reloaded[i].friction, taken[i].friction) << i;
        EXPECT_EQ(reloaded[i].gradient, taken[i].gradient) << i;
    }
    EXPECT_NE(text.find("      12.3457;  0.300000;     9\r\n"), std::string::npos);
}

TEST(TrackRows, WritingKeepsTheFormatAndSkipsImplausibleFriction) {
    TrackAllocator allocator;
    FreshRecord record(allocator);
    readRows(*record.state, allocator, "1234.5;0.25;-7\r\n99999.125;0.3;100\r\n");
    record.state->trackHead->next->friction = 0.0f;  // never written
    EXPECT_EQ(trackRowsText(*record.state), "    1234.5000;  0.250000;    -7\r\n");
    EXPECT_EQ(profile(*record.state).size(), 2u);  // written, not taken
}

TEST(TrackRows, AFileWithoutRowsGetsTheDefaultPoint) {
    TrackAllocator allocator;
    FreshRecord record(allocator);
    readConfiguration("Reibfaktor                     : 0.2\r\n", *record.state, allocator);
    ensureDefaultTrackPoint(*record.state, allocator);
    const auto rows = profile(*record.state);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].position, 0.0);
    EXPECT_FLOAT_EQ(rows[0].friction, 0.25f);
    EXPECT_EQ(rows[0].gradient, 0);
    EXPECT_EQ(record.state->trackCurrent, record.state->trackHead);
}

TEST(TrackRows, AllocationFailureStopsReadingAndSwitchesTheTrackOff) {
    testing::FailingAllocator allocator(3);  // the first point and two rows
    FreshRecord record(allocator);
    record.state->trackAutomatic = true;
    readConfiguration("Zuggewicht          in Tonnen  : 10\r\nStreckendaten:\r\n1;0.2;0\r\n2;0.2;0\r\n3;0.2;0\r\n4;0.2;0\r\n",
                      *record.state, allocator);
    EXPECT_TRUE(record.state->trackListFailed);
    EXPECT_FALSE(record.state->trackAutomatic);
    EXPECT_EQ(record.state->trainWeight, 10);  // the header read so far stays
    EXPECT_EQ(profile(*record.state).size(), 2u);

    testing::FailingAllocator none(0);
    FreshRecord empty(none);
    EXPECT_TRUE(empty.state->trackListFailed);
    readConfiguration("Zuggewicht          in Tonnen  : 10\r\n", *empty.state, none);
    EXPECT_EQ(empty.state->trainWeight, 0);  // nothing is read without a first point
}

// A record with a profile on the level and the track function on.
struct WalkedLine {
    explicit WalkedLine(TrackAllocator& allocator, const std::string& rows = "0;0.25;0\r\n") : record(allocator) {
        LocomotiveState& s = *record.state;
        s.trackAutomatic = true;
        s.maxGradient = 40;
        s.frictionFactor = 0.25;
        readRows(s, allocator, rows);
        ensureDefaultTrackPoint(s, allocator);
    }
    FreshRecord record;
};

void expectSortedAndUnique(const LocomotiveState& s) {
    const auto rows = profile(s);
    for (std::size_t i = 1; i < rows.size(); ++i) ASSERT_LT(rows[i - 1].position, rows[i].position) << i;
    for (const TrackPoint* p = s.trackHead; p->next; p = p->next) ASSERT_EQ(p->next->prev, p);
}

TEST(TrackWalk, TwoHundredKilometresForwardAndBackKeepTheLineAhead) {
    TrackAllocator allocator;
    WalkedLine line(allocator);
    LocomotiveState& s = *line.record.state;
    TrackWalker walker;
    Random15 random(2026);
    constexpr double step = 0.3;  // m per tick, about 20 m/s at the 14 ms tick
    auto drive = [&](double metres, double speed) {
        s.trainSpeed = speed;
        const int ticks = static_cast<int>(std::fabs(metres) / step);
        for (int i = 0; i < ticks; ++i) {
            s.distance += speed > 0 ? step : -step;
            walker.tick(s, random, allocator);
            ASSERT_LE(std::abs(s.gradient), s.maxGradient);
            ASSERT_TRUE(s.frictionFactor >= 0.05 && s.frictionFactor <= 0.3) << s.frictionFactor;
        }
    };
    drive(100000.0, 20.0);
    expectSortedAndUnique(s);
    EXPECT_GE(s.trackTail->prev->position, s.distance + 5000.0 - 10000.0);  // within one stretch of the reach
    EXPECT_GE(s.trackTail->prev->position, s.distance);
    EXPECT_LE(s.trackCurrent->prev->position, s.distance);
    EXPECT_GT(s.trackCurrent->position, s.distance);
    drive(200000.0, -20.0);
    expectSortedAndUnique(s);
    EXPECT_LE(s.trackHead->position, s.distance);
    EXPECT_LT(s.distance, 0.0);
    EXPECT_FALSE(s.trackListFailed);
}

TEST(TrackWalk, TheSameSeedBuildsTheSameLine) {
    auto build = [](std::uint32_t seed) {
        TrackAllocator allocator;
        WalkedLine line(allocator);
        LocomotiveState& s = *line.record.state;
        TrackWalker walker;
        Random15 random(seed);
        s.trainSpeed = 10.0;
        for (int i = 0; i < 5000; ++i) {
            s.distance += 1.0;
            walker.tick(s, random, allocator);
        }
        std::vector<double> positions;
        for (const Row& row : profile(s)) positions.push_back(row.position + row.gradient * 1e-3 + row.friction);
        return positions;
    };
    EXPECT_EQ(build(7), build(7));
    EXPECT_NE(build(7), build(8));
}

TEST(TrackWalk, StandingOnTheLastPointTheLineGrowsOnePointPerTick) {
    TrackAllocator allocator;
    WalkedLine line(allocator, "0;0.25;0\r\n500;0.2;10\r\n");
    LocomotiveState& s = *line.record.state;
    TrackWalker walker;
    Random15 random(1);
    s.distance = 500.0;
    s.trainSpeed = 0.0;
    s.gradient = 17;
    EXPECT_TRUE(walker.tick(s, random, allocator));  // beyond the end: wait cursor
    EXPECT_EQ(s.gradient, 0);
    EXPECT_EQ(s.frictionFactor, 0.25);
    EXPECT_EQ(profile(s).size(), 3u);  // one point appended while standing
    int ticks = 1;
    while (walker.beyondEnd() || !walker.walkInitialised()) {
        walker.tick(s, random, allocator);
        ASSERT_LT(++ticks, 100);
    }
    EXPECT_GT(s.trackTail->prev->position, 500.0);
    EXPECT_FALSE(walker.tick(s, random, allocator));
}

TEST(TrackWalk, InterpolatesBetweenPointsAndLimitsToTheMaximumGradient) {
    TrackAllocator allocator;
    WalkedLine line(allocator, "0;0.1;0\r\n1000;0.3;0\r\n1100;0.3;80\r\n20000;0.3;80\r\n");
    LocomotiveState& s = *line.record.state;
    TrackWalker walker;
    Random15 random(1);
    s.distance = 500.0;
    walker.tick(s, random, allocator);
    EXPECT_NEAR(s.frictionFactor, 0.2, 1e-6);
    EXPECT_EQ(s.gradient, 0);
    s.distance = 1050.0;
    s.trainSpeed = 1.0;  // the walk advances as the train runs
    walker.tick(s, random, allocator);
    EXPECT_EQ(s.gradient, 40);  // 40 per mille on the line, cut to the maximum
    s.maxGradient = 0;
    walker.tick(s, random, allocator);
    EXPECT_EQ(s.gradient, 0);
}

// The friction of the rows on either side of `d` (the nearest one beyond an end).
std::pair<float, float> frictionAround(const LocomotiveState& s, double d) {
    const TrackPoint* before = s.trackHead;
    while (before->next != s.trackTail && before->next->position <= d) before = before->next;
    const TrackPoint* after = before->next != s.trackTail && before->position <= d ? before->next : before;
    return std::minmax(before->friction, after->friction);
}

// Drives `metres` forward in 1 m ticks; every friction lies between the rows around the train.
void driveWithinTheRows(LocomotiveState& s, TrackWalker& walker, Random15& random, TrackAllocator& allocator,
                        double metres) {
    s.trainSpeed = 10.0;
    for (int i = 0; i < static_cast<int>(metres); ++i) {
        s.distance += 1.0;
        walker.tick(s, random, allocator);
        ASSERT_LE(std::abs(s.gradient), s.maxGradient);
        if (walker.beyondEnd()) continue;  // the level of a line still being built
        const auto [low, high] = frictionAround(s, s.distance);
        ASSERT_GE(s.frictionFactor, low - 1e-6) << "at " << s.distance;
        ASSERT_LE(s.frictionFactor, high + 1e-6) << "at " << s.distance;
    }
}

TEST(TrackWalk, ALongLastStretchIsWalkedToItsEndAndBeyond) {
    // The train between the first two rows of a line whose last stretch is 20 km long.
    TrackAllocator allocator;
    WalkedLine line(allocator, "0;0.30;0\r\n10;0.05;0\r\n20000;0.25;0\r\n");
    LocomotiveState& s = *line.record.state;
    TrackWalker walker;
    Random15 random(1);
    s.distance = 5.0;
    driveWithinTheRows(s, walker, random, allocator, 30000.0);
    EXPECT_GT(s.trackCurrent->position, s.distance);
    EXPECT_LE(s.trackCurrent->prev->position, s.distance);
}

TEST(TrackWalk, AGeneratedLineSavedAndReloadedKeepsItsFrictionBetweenItsRows) {
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        TrackAllocator allocator;
        std::string text;
        double distance = 0.0;  // m
        {
            WalkedLine line(allocator);
            TrackWalker walker;
            Random15 random(seed);
            driveWithinTheRows(*line.record.state, walker, random, allocator, 15000.0);
            text = configurationText(*line.record.state);
            distance = line.record.state->distance;
        }
        FreshRecord reloaded(allocator);
        LocomotiveState& s = *reloaded.state;
        readConfiguration(text, s, allocator);
        ensureDefaultTrackPoint(s, allocator);
        s.distance = distance;
        TrackWalker walker;
        Random15 random(seed + 100);
        driveWithinTheRows(s, walker, random, allocator, 25000.0);
        ASSERT_FALSE(::testing::Test::HasFatalFailure()) << "seed " << seed;
    }
}

TEST(TrackWalk, WithMaxGradientZeroThePlannedLineIsNearlyLevel) {
    TrackAllocator allocator;
    WalkedLine line(allocator);
    LocomotiveState& s = *line.record.state;
    s.maxGradient = 0;
    TrackWalker walker;
    Random15 random(5);
    s.trainSpeed = 15.0;
    for (int i = 0; i < 20000; ++i) {
        s.distance += 1.0;
        walker.tick(s, random, allocator);
        ASSERT_EQ(s.gradient, 0);
    }
    for (const Row& row : profile(s)) EXPECT_LE(std::abs(row.gradient), 3);
}

TEST(TrackWalk, SwitchingOffLevelsOnceAndKeepsTheFriction) {
    TrackAllocator allocator;
    WalkedLine line(allocator, "0;0.12;30\r\n10000;0.12;30\r\n");
    LocomotiveState& s = *line.record.state;
    TrackWalker walker;
    Random15 random(1);
    s.distance = 100.0;
    walker.tick(s, random, allocator);
    EXPECT_EQ(s.gradient, 30);
    s.trackAutomatic = false;
    walker.tick(s, random, allocator);
    EXPECT_EQ(s.gradient, 0);
    EXPECT_NEAR(s.frictionFactor, 0.12, 1e-6);
    s.gradient = 12;  // the driver's own choice now
    walker.tick(s, random, allocator);
    EXPECT_EQ(s.gradient, 12);
}

TEST(TrackWalk, AFailedListFallsBackToTheLevel) {
    testing::FailingAllocator allocator(2);
    WalkedLine line(allocator);
    LocomotiveState& s = *line.record.state;
    TrackWalker walker;
    Random15 random(1);
    s.trainSpeed = 20.0;
    for (int i = 0; i < 50000 && !s.trackListFailed; ++i) {
        s.distance += 1.0;
        walker.tick(s, random, allocator);
    }
    EXPECT_TRUE(s.trackListFailed);
    EXPECT_FALSE(s.trackAutomatic);
    s.trackAutomatic = true;  // the key cannot switch it on again, but if it were:
    walker.tick(s, random, allocator);
    EXPECT_EQ(s.gradient, 0);
    EXPECT_EQ(s.frictionFactor, 0.25);
}

TEST(TrackTable, SnapshotHoldsTheRowsAroundTheTrain) {
    TrackAllocator allocator;
    std::string rows;
    for (int i = 0; i < 40; ++i) rows += std::to_string(i * 100) + ";0.25;" + std::to_string(i % 7) + "\r\n";
    WalkedLine line(allocator, rows);
    LocomotiveState& s = *line.record.state;
    TrackWalker walker;
    Random15 random(1);
    s.distance = 1850.0;
    walker.tick(s, random, allocator);
    ASSERT_EQ(s.trackCurrent->position, 1900.0);
    const TrackTableSnapshot snapshot = takeTrackTableSnapshot(s);
    ASSERT_EQ(snapshot.rowCount, 16);
    EXPECT_EQ(snapshot.rows[0].position, 1100.0);  // 8 ahead, 16 back
    int current = -1;
    for (int i = 0; i < snapshot.rowCount; ++i) {
        if (snapshot.rows[i].isCurrent) current = i;
    }
    ASSERT_GE(current, 1);
    EXPECT_TRUE(snapshot.rows[current - 1].isBeforeCurrent);
    EXPECT_EQ(snapshot.rows[current].gradient, 19 % 7);

    s.trackCurrent = s.trackHead;
    const TrackTableSnapshot start = takeTrackTableSnapshot(s);
    EXPECT_TRUE(start.rows[0].isFirst);
}

}  // namespace
}  // namespace zt40

namespace zt40 {
namespace {

TEST(TrackWalk, AFarDistanceInTheFileStartsTheLineAtTheTrain) {
    testing::TemporaryDirectory directory;
    const auto file = directory.path() / configurationFileName;
    for (const char* distance : {"1e12", "1e300", "99000000", "-99000000"}) {
        std::ofstream(file, std::ios::binary)
            << "Winkel des Rades    in Grad    : 90\r\nvorhandenes Wasser  in Liter   : 9000\r\n"
               "Druck im Kessel     in bar     : 12\r\nWasser im Kessel    in Liter   : 8000\r\n"
               "Zeit zwischen den Schritten  in ms : 15\r\nStreckenfunktion   (A/M): 1\r\n"
               "Entfernung          in Meter   : "
            << distance << "\r\nStreckendaten:\r\n0;0.25;0\r\n800;0.25;5\r\n";
        // More points than a minute's running could need would exhaust this.
        testing::FailingAllocator allocator(500);
        FreshRecord record(allocator);
        LocomotiveState& s = *record.state;
        Random15 random(3);
        EXPECT_FALSE(loadConfiguration(file, s, random, allocator));
        ensureDefaultTrackPoint(s, allocator);
        const double start = s.distance;  // m
        EXPECT_LT(std::fabs(start), 1e8) << distance;

        // A minute of main ticks at 20 m/s, the way the train faces.
        TrackWalker walker;
        s.trainSpeed = start < 0.0 ? -20.0 : 20.0;  // m/s
        for (int tick = 0; tick < 60000 / 14; ++tick) {
            s.distance += s.trainSpeed * 0.014;
            walker.tick(s, random, allocator);
        }
        ASSERT_FALSE(s.trackListFailed) << distance;
        EXPECT_FALSE(walker.beyondEnd() || walker.beforeStart()) << distance;
        EXPECT_GE(s.trackTail->prev->position, std::max(s.distance, 0.0)) << distance;
        EXPECT_LE(s.trackHead->position, std::min(s.distance, 0.0)) << distance;
        expectSortedAndUnique(s);
    }
}

}  // namespace
}  // namespace zt40
