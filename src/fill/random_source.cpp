#include "fill/random_source.h"

#include <chrono>

namespace rowsmith {

void RandomSource::SeedFromClock() {
    using namespace std::chrono;
    // Unix time has no leap seconds, so the remainder of a day is the UTC time of day.
    constexpr std::int64_t kMillisecondsPerDay = 24 * 60 * 60 * 1000;
    const std::int64_t now =
        duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    std::int64_t ofDay = now % kMillisecondsPerDay;
    if (ofDay < 0) {
        ofDay += kMillisecondsPerDay;
    }
    seed_ = static_cast<std::uint32_t>(ofDay);
}

}  // namespace rowsmith
