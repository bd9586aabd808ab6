// FillReporter: how the fill engine tells whoever runs it what happens. The window shows it with
// its status panel, progress bar and busy cursor; rowsmith-fill with lines on standard error. The
// engine does not know who listens.
//
// For every table it checks or fills, once the table is bound, the engine calls:
//
//   TableStarted(name, work)
//   WritingStarted(records)      a fill only, once the table is emptied or its records counted
//   RecordsWritten(1), (2), ...  a fill only, after each record is posted
//   TableFinished(completed)     always, also when an error stops the table (completed false)
//
// An error that stops a table before its records are written (a master table that cannot be
// opened, a negative record count) comes without WritingStarted. A listener must not raise.
#pragma once

#include <cstdint>
#include <string>

namespace rowsmith {

enum class TableWork { Check, Fill };

class FillReporter {
public:
    virtual ~FillReporter() = default;

    // The check or the fill of a table begins: its name belongs in the status caption. A fill
    // runs without returning to an event loop, so a window shows the name at once.
    virtual void TableStarted(const std::string& tableName, TableWork work) = 0;
    // The fill writes up to `records` records from here (never negative: the engine refuses that
    // first). The last record of an update of existing records ends the walk unreported.
    virtual void WritingStarted(std::int64_t records) = 0;
    // `written` records of the table are written so far.
    virtual void RecordsWritten(std::int64_t written) = 0;
    // The table's check or fill is over: completed, or stopped by the error now on its way.
    virtual void TableFinished(bool completed) = 0;
};

}  // namespace rowsmith
