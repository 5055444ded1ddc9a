#include "numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "random15.h"

namespace zt40 {
namespace {

TEST(TruncateTo, TowardZeroAndSaturating) {
    EXPECT_EQ(truncateTo<int>(3.9), 3);
    EXPECT_EQ(truncateTo<int>(-3.9), -3);
    EXPECT_EQ(truncateTo<int>(std::nan("")), 0);
    EXPECT_EQ(truncateTo<int>(1e300), std::numeric_limits<int>::max());
    EXPECT_EQ(truncateTo<int>(-1e300), std::numeric_limits<int>::min());
    EXPECT_EQ(truncateTo<int>(std::numeric_limits<double>::infinity()), std::numeric_limits<int>::max());
    EXPECT_EQ(truncateTo<std::int8_t>(200.0), 127);
    EXPECT_EQ(truncateTo<std::int8_t>(-128.7), -128);
    EXPECT_EQ(truncateTo<std::uint8_t>(-5.0), 0);
    EXPECT_EQ(truncateTo<std::int64_t>(9.3e18), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(truncateTo<std::uint32_t>(4294967295.5), 4294967295u);
}

TEST(LowByteOf, KeepsTheLowEightBitsAfterTruncation) {
    EXPECT_EQ(lowByteOf(300.0), 44);
    EXPECT_EQ(lowByteOf(-150.0), 106);
    EXPECT_EQ(lowByteOf(-1.9), -1);
    EXPECT_EQ(lowByteOf(127.99), 127);
    EXPECT_EQ(lowByteOf(128.0), -128);
    EXPECT_EQ(lowByteOf(std::nan("")), 0);
    EXPECT_EQ(lowByteOf(1e30), -1);  // saturates to the 64-bit maximum first
}

TEST(Random15, ClassicSequenceAndRange) {
    Random15 random(1);
    EXPECT_EQ(random.next(), 41);
    EXPECT_EQ(random.next(), 18467);
    EXPECT_EQ(random.next(), 6334);
    EXPECT_EQ(random.next(), 26500);

    Random15 a(12345), b(12345);
    std::set<int> seen;
    for (int i = 0; i < 100000; ++i) {
        const int value = a.next();
        ASSERT_EQ(value, b.next());
        ASSERT_GE(value, 0);
        ASSERT_LE(value, Random15::max);
        seen.insert(value);
    }
    EXPECT_GT(seen.size(), 30000u);  // spreads over the whole range
}

TEST(Random15, ClockSeedFromSecondsAndMilliseconds) {
    EXPECT_EQ(clockSeed(30, 500), 8187u);  // 15000 / 1.832
    EXPECT_EQ(clockSeed(0, 999), 0u);
    EXPECT_EQ(clockSeed(59, 999), 32173u);
}

}  // namespace
}  // namespace zt40
