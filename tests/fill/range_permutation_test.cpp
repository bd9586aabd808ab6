// The shuffled order of a range: every number once, the same order again from the same seed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

#include "fill/random_source.h"
#include "fill/range_permutation.h"

namespace rowsmith {
namespace {

std::vector<std::uint64_t> Order(std::uint64_t count, std::uint32_t seed) {
    RandomSource random;
    random.SetRandomSeed(seed);
    const RangePermutation permutation(count, random);
    std::vector<std::uint64_t> order;
    for (std::uint64_t i = 0; i < count; ++i) {
        order.push_back(permutation.At(i));
    }
    return order;
}

TEST(RangePermutationTest, GivesEveryNumberOnceForCountsOfEveryShape) {
    // One, powers of two and four, the numbers either side of them, and an odd large one.
    for (const std::uint64_t count :
         {1u, 2u, 3u, 4u, 5u, 15u, 16u, 17u, 64u, 1000u, 4097u, 65535u, 100003u}) {
        std::vector<std::uint64_t> order = Order(count, 7);
        std::sort(order.begin(), order.end());
        std::vector<std::uint64_t> every(count);
        std::iota(every.begin(), every.end(), std::uint64_t{0});
        EXPECT_EQ(order, every) << count;
    }
}

TEST(RangePermutationTest, ASeedGivesItsOwnOrderAgain) {
    EXPECT_EQ(Order(1000, 3), Order(1000, 3));
    EXPECT_NE(Order(1000, 3), Order(1000, 4));
    std::vector<std::uint64_t> sorted(1000);
    std::iota(sorted.begin(), sorted.end(), std::uint64_t{0});
    EXPECT_NE(Order(1000, 3), sorted);
}

TEST(RangePermutationTest, RangesBeyondThirtyTwoBitsStayInside) {
    RandomSource random;
    const std::uint64_t count = 9000000000u;
    const RangePermutation permutation(count, random);
    std::uint64_t largest = 0;
    for (std::uint64_t i = 0; i < 1000; ++i) {
        const std::uint64_t value = permutation.At(i * 8999999);
        EXPECT_LT(value, count);
        largest = std::max(largest, value);
    }
    EXPECT_GT(largest, std::uint64_t{1} << 32);

    // The widest range there is, every 64-bit number.
    const RangePermutation widest(~std::uint64_t{0}, random);
    EXPECT_NE(widest.At(0), widest.At(1));
}

}  // namespace
}  // namespace rowsmith
