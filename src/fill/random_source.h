// RandomSource: the pseudo-random numbers behind the value generators. A linear congruential
// generator with a 32-bit state; every draw advances the state by exactly one step, so a fill is
// repeatable from a given seed and each generator's number of draws is part of its result.
// One source serves a whole fill engine; nothing else draws from it.
#pragma once

#include <cstdint>

namespace rowsmith {

class RandomSource {
public:
    std::uint32_t RandomSeed() const { return seed_; }
    void SetRandomSeed(std::uint32_t seed) { seed_ = seed; }

    // The milliseconds since midnight UTC (0 to 86,399,999).
    void SeedFromClock();

    // One step, then the upper 32 bits of seed * n: a number in 0 .. n - 1, or 0 when n is 0.
    std::uint32_t RandomBelow(std::uint32_t n) {
        Step();
        return static_cast<std::uint32_t>((static_cast<std::uint64_t>(seed_) * n) >> 32);
    }

    // One step, then seed / 2^32: a real in [0, 1).
    double RandomFraction() { return static_cast<double>(NextState()) * (1.0 / 4294967296.0); }

    // One step, then the new state: RandomFraction() times 2^32, for exact integer arithmetic.
    std::uint32_t NextState() {
        Step();
        return seed_;
    }

private:
    void Step() { seed_ = seed_ * 134775813u + 1u; }

    std::uint32_t seed_ = 0;
};

}  // namespace rowsmith
