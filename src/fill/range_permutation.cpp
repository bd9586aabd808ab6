#include "fill/range_permutation.h"

#include "fill/random_source.h"

namespace rowsmith {

namespace {

// A strong 64-bit mix (the finaliser of SplitMix64), so that every bit of the half and the key
// reaches every bit of the round's output.
std::uint64_t Mix(std::uint64_t value) {
    value ^= value >> 30;
    value *= 0xBF58476D1CE4E5B9u;
    value ^= value >> 27;
    value *= 0x94D049BB133111EBu;
    return value ^ (value >> 31);
}

}  // namespace

RangePermutation::RangePermutation(std::uint64_t count, RandomSource& random) : count_(count) {
    // Two halves of halfBits_ bits each hold every number below count.
    const std::uint64_t largest = count - 1;
    while (halfBits_ < 32 && (largest >> (2 * halfBits_)) != 0) {
        ++halfBits_;
    }
    halfMask_ = (std::uint64_t{1} << halfBits_) - 1;
    for (std::uint64_t& key : keys_) {
        const std::uint64_t high = random.NextState();
        key = (high << 32) | random.NextState();
    }
}

std::uint64_t RangePermutation::Encrypt(std::uint64_t value) const {
    std::uint64_t left = value >> halfBits_;
    std::uint64_t right = value & halfMask_;
    for (const std::uint64_t key : keys_) {
        const std::uint64_t next = left ^ (Mix(right ^ key) & halfMask_);
        left = right;
        right = next;
    }
    return (left << halfBits_) | right;
}

std::uint64_t RangePermutation::At(std::uint64_t index) const {
    // The domain is less than four times the count, so a few rounds of walking are the most
    // that is ever needed on average.
    std::uint64_t value = Encrypt(index);
    while (value >= count_) {
        value = Encrypt(value);
    }
    return value;
}

}  // namespace rowsmith
