// The set of fingerprints behind unique columns: each one kept once across many growths.
#include <gtest/gtest.h>

#include <cstdint>

#include "fill/fingerprint_set.h"

namespace rowsmith {
namespace {

TEST(FingerprintSetTest, KeepsEachFingerprintOnceThroughItsGrowth) {
    FingerprintSet set;
    EXPECT_TRUE(set.Empty());
    EXPECT_FALSE(set.Contains(42));
    // Fingerprints that share their low and their high bits, so they meet in the table.
    for (std::uint64_t i = 0; i < 100000; ++i) {
        EXPECT_TRUE(set.Insert(i << 40 | i)) << i;
    }
    for (std::uint64_t i = 0; i < 100000; ++i) {
        EXPECT_TRUE(set.Contains(i << 40 | i)) << i;
        EXPECT_FALSE(set.Insert(i << 40 | i)) << i;
    }
    EXPECT_FALSE(set.Contains(100000ull << 40 | 100000ull));
    EXPECT_FALSE(set.Empty());
}

// 0 marks a free slot, so the fingerprint 0 shares its place with 1: at worst a value is
// drawn again.
TEST(FingerprintSetTest, ZeroIsKeptAsOne) {
    FingerprintSet set;
    EXPECT_TRUE(set.Insert(0));
    EXPECT_TRUE(set.Contains(0));
    EXPECT_TRUE(set.Contains(1));
    EXPECT_FALSE(set.Insert(1));
}

}  // namespace
}  // namespace rowsmith
