// RangePermutation: the numbers 0 .. count - 1 in a shuffled order, one at a time and in constant
// memory, so that a unique column over a wide range costs nothing per record. A balanced Feistel
// network over the smallest even number of bits that holds every number is a permutation of that
// power of two; numbers at or past `count` are encrypted again (cycle walking) until one falls
// inside, which keeps the order a permutation of the range. The round keys come from the fill's
// random source, so a seeded run gives the same order again.
#pragma once

#include <array>
#include <cstdint>

namespace rowsmith {

class RandomSource;

class RangePermutation {
public:
    // Takes eight draws from `random` for its keys. REQUIRES: count >= 1.
    RangePermutation(std::uint64_t count, RandomSource& random);

    std::uint64_t Count() const { return count_; }
    // The number at `index` of the shuffled order. REQUIRES: index < Count().
    std::uint64_t At(std::uint64_t index) const;

private:
    static constexpr int kRounds = 4;

    std::uint64_t Encrypt(std::uint64_t value) const;

    std::uint64_t count_;
    int halfBits_ = 1;
    std::uint64_t halfMask_ = 1;
    std::array<std::uint64_t, kRounds> keys_{};
};

}  // namespace rowsmith
