// A large value library: how long reading it takes, what it costs in memory, and how many values
// a second a draw gives, with even weights and with uneven ones.
//
//   library_bench [--values N] [--uneven]      (default 1000000 values of even weights)
//
// One kind of library a run, so that the peak memory is that library's alone.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "fill/value_library.h"

namespace {

using Clock = std::chrono::steady_clock;

// Where the drawn lengths go, so that the draws are not optimized away.
volatile std::size_t sink = 0;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The file of `count` values "Sample value N", every other one weighing 3 when `weighted`.
std::string WriteLibrary(long count, bool weighted) {
    const std::string path =
        std::string(std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "/tmp") +
        "/library_bench_" + std::to_string(weighted) + ".txt";
    std::ofstream file(path);
    file << "# Values for the library bench\n";
    for (long i = 0; i < count; ++i) {
        file << "Sample value " << i << (weighted && i % 2 == 0 ? "\t3\n" : "\n");
    }
    return path;
}

void Measure(long count, bool weighted) {
    const std::string path = WriteLibrary(count, weighted);
    const long before = PeakKilobytes();
    const Clock::time_point start = Clock::now();
    const rowsmith::ValueLibrary library = rowsmith::ValueLibrary::Load(path, "bench");
    const double loading = Seconds(start);
    const long grown = PeakKilobytes() - before;

    rowsmith::RandomSource random;
    constexpr long kDraws = 20000000;
    std::size_t bytes = 0;
    const Clock::time_point drawing = Clock::now();
    for (long i = 0; i < kDraws; ++i) {
        bytes += library.Pick(random).size();
    }
    const double drawn = Seconds(drawing);
    sink = bytes;
    std::printf(
        "%-6s weights, %ld values: read in %.3f s, peak memory +%ld kB, %.1f million "
        "draws/s\n",
        weighted ? "uneven" : "even", count, loading, grown, kDraws / drawn / 1e6);
    std::remove(path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    long count = 1000000;
    bool uneven = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--values") == 0 && i + 1 < argc) {
            count = std::atol(argv[++i]);
        } else if (std::strcmp(argv[i], "--uneven") == 0) {
            uneven = true;
        } else {
            count = 0;
        }
    }
    if (count < 1) {
        std::fputs("Usage: library_bench [--values N] [--uneven]\n", stderr);
        return 2;
    }
    Measure(count, uneven);
    return 0;
}
