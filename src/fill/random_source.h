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

    // Advances the state exactly as `steps` draws would, in O(log steps): the step x -> a*x + c
    // composed with itself by repeated squaring.
    void Skip(std::uint64_t steps) {
        std::uint32_t multiplier = 1;
        std::uint32_t increment = 0;
        std::uint32_t a = kMultiplier;
        std::uint32_t c = 1;
        for (; steps > 0; steps >>= 1) {
            if ((steps & 1) != 0) {
                multiplier *= a;
                increment = increment * a + c;
            }
            c *= a + 1;
            a *= a;
        }
        seed_ = seed_ * multiplier + increment;
    }

private:
    static constexpr std::uint32_t kMultiplier = 134775813u;

    void Step() { seed_ = seed_ * kMultiplier + 1u; }

    std::uint32_t seed_ = 0;
};

// The seed of the table at `position` (from 0) of a fill run with a fixed seed: the seed itself
// for the first table, and for the others the seed XOR position * 2654435769 (mod 2^32), so that
// tables with the same settings get different values and a run stays repeatable.
constexpr std::uint32_t TableSeed(std::uint32_t seed, int position) {
    return seed ^ (static_cast<std::uint32_t>(position) * 2654435769u);
}

}  // namespace rowsmith
