#include "fill/fill_summary.h"

#include <cstdio>

namespace rowsmith {

namespace {

std::string Tables(int tables) {
    return std::to_string(tables) + (tables == 1 ? " table" : " tables");
}

}  // namespace

std::string FillSummary(int tables, std::int64_t records, double seconds) {
    char time[32];
    std::snprintf(time, sizeof time, "%.2f", seconds);
    return "Filled " + Tables(tables) + " with " + std::to_string(records) + " records in " + time +
           " s";
}

std::string StoppedFillSummary(const std::string& table, int tables, std::int64_t records) {
    return "Stopped in " + table + " after " + Tables(tables) + " with " + std::to_string(records) +
           " records";
}

}  // namespace rowsmith
