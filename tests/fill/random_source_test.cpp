#include "fill/random_source.h"

#include <gtest/gtest.h>

#include <vector>

namespace rowsmith {
namespace {

TEST(RandomSourceTest, FromSeedZeroFiveDrawsBelowTenAreKnown) {
    RandomSource random;
    std::vector<std::uint32_t> drawn;
    for (int i = 0; i < 5; ++i) {
        drawn.push_back(random.RandomBelow(10));
    }
    EXPECT_EQ(drawn, (std::vector<std::uint32_t>{0, 0, 8, 2, 2}));
}

TEST(RandomSourceTest, EveryDrawTakesExactlyOneStep) {
    RandomSource below;
    RandomSource fraction;
    RandomSource nothing;
    below.RandomBelow(0);
    fraction.RandomFraction();
    below.RandomBelow(12345);
    fraction.RandomBelow(7);
    EXPECT_EQ(below.RandomSeed(), fraction.RandomSeed());
    EXPECT_EQ(below.RandomSeed(), 134775814u);
    EXPECT_EQ(nothing.RandomSeed(), 0u);
}

TEST(RandomSourceTest, DrawsStayInTheirRange) {
    RandomSource random;
    random.SetRandomSeed(0xDEADBEEF);
    for (int i = 0; i < 10000; ++i) {
        EXPECT_EQ(random.RandomBelow(0), 0u);
        EXPECT_LT(random.RandomBelow(3), 3u);
        EXPECT_LT(random.RandomBelow(0xFFFFFFFFu), 0xFFFFFFFFu);
        const double x = random.RandomFraction();
        EXPECT_GE(x, 0.0);
        EXPECT_LT(x, 1.0);
    }
}

TEST(RandomSourceTest, TheFractionIsTheSeedOverTwoToTheThirtyTwo) {
    RandomSource random;
    random.SetRandomSeed(0xFFFFFFFFu);
    // 0xFFFFFFFF * 134775813 + 1 = -134775813 + 1 modulo 2^32.
    const double x = random.RandomFraction();
    EXPECT_EQ(random.RandomSeed(), 0u - 134775812u);
    EXPECT_DOUBLE_EQ(x, static_cast<double>(0u - 134775812u) / 4294967296.0);
}

TEST(RandomSourceTest, SkippingEqualsDrawingThatManyTimes) {
    for (std::uint64_t steps : {0u, 1u, 2u, 3u, 1000u, 65537u, 1234567u}) {
        RandomSource drawn;
        RandomSource skipped;
        drawn.SetRandomSeed(0xC0FFEE);
        skipped.SetRandomSeed(0xC0FFEE);
        for (std::uint64_t i = 0; i < steps; ++i) {
            drawn.RandomBelow(47);
        }
        skipped.Skip(steps);
        EXPECT_EQ(skipped.RandomSeed(), drawn.RandomSeed()) << steps;
    }
    // A whole period of 2^32 steps comes back to the start.
    RandomSource cycle;
    cycle.SetRandomSeed(12345);
    cycle.Skip(std::uint64_t{1} << 32);
    EXPECT_EQ(cycle.RandomSeed(), 12345u);
}

TEST(RandomSourceTest, TheClockSeedIsATimeOfDayInMilliseconds) {
    RandomSource random;
    random.SeedFromClock();
    EXPECT_LT(random.RandomSeed(), 86400000u);
}

}  // namespace
}  // namespace rowsmith
