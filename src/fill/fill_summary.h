// The closing words of a fill run, shared by the command line's last line and the window's status
// panel, so that both say the same thing the same way.
#pragma once

#include <cstdint>
#include <string>

namespace rowsmith {

// "Filled 5 tables with 2670 records in 0.07 s": the tables a fill went through, the records
// written into them and the run's time.
std::string FillSummary(int tables, std::int64_t records, double seconds);

// Where a fill stopped and what it had finished before: "Stopped in orders after 3 tables with
// 400 records". The records the stopped table kept are the database's to count.
std::string StoppedFillSummary(const std::string& table, int tables, std::int64_t records);

}  // namespace rowsmith
