// FillEngine: fills the tables of a scenario with generated records. It owns the work table (the
// cursor through which everything about the current scenario table goes) and the master cursors,
// and carries the steps of a fill: binding a scenario table to its database table, checking the
// fill values, generating one value per column and record, and the fill run itself.
//
// The main window and rowsmith-fill each own one engine for their scenario and listen to it
// through a FillReporter. Every error is raised to the caller; records posted before it stay.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/page_budget.h"
#include "engine/table_cursor.h"
#include "fill/column_writer.h"
#include "fill/fill_reporter.h"
#include "fill/generators/column_generator.h"
#include "fill/library_shelf.h"
#include "fill/random_source.h"
#include "model/fill_scenario.h"

namespace rowsmith {

class RangeGenerator;

class FillEngine : private GeneratorHost {
public:
    FillEngine(TFillScenario& scenario, FillReporter& reporter);
    ~FillEngine();
    FillEngine(const FillEngine&) = delete;
    FillEngine& operator=(const FillEngine&) = delete;

    // The work table: opened exclusively on the current table by BindTable, on the scenario's
    // alias. Owners read it (its columns, whether it is open); only the engine changes it.
    const TableCursor& WorkTable() const { return *workTable_; }
    // The table bound last, or none.
    TFillTable* CurrentTable() const { return currentTable_; }
    // For when the scenario's table list is emptied: no table counts as current until the next
    // BindTable. The work table is left as it is.
    void ForgetCurrentTable();
    // For when the scenario's table list is emptied to make room for a new or loaded scenario:
    // closes the work table (dropping a record started on it) and forgets the current table.
    void CloseWorkTable();

    // With a value, every table's fill seeds the random source with it instead of the clock.
    void SetFixedSeed(std::optional<std::uint32_t> seed) { fixedSeed_ = seed; }
    RandomSource& Random() override { return random_; }
    // With a value, "now" and "today" in date ranges stand for it instead of the clock at the
    // start of FillUp.
    void SetFixedNow(std::optional<DateTimeValue> now) { fixedNow_ = now; }
    DateTimeValue Now() override;
    // The folder that library paths in fill values are relative to: the scenario file's. Empty
    // for the current folder.
    void SetScenarioFolder(std::string folder);
    const std::string& ScenarioFolder() const { return scenarioFolder_; }

    // Binding and master cursors.

    // Makes `table` current, opens its database table on the work table (on the scenario's alias
    // as it is now) and puts the table's settings in its column order by name, exact names first
    // and then names that differ only in letter case, so setting i serves column i: a column
    // without a setting of its name gets a do-not-fill one, and settings whose column is gone
    // follow the others (TFillTable::ArrangeFields). A choice that letter case alone could not
    // make is kept for the check. The scenario is not marked changed. When the open fails,
    // `table` is current all the same, its settings stay as they were and the work table stays
    // closed.
    void BindTable(TFillTable& table);
    // The settings of the current table that no column of its open table takes: the last ones of
    // its list after BindTable. 0 without a current table or an open work table.
    int OrphanSettingCount() const;
    // Removes those settings from the current table, for a window that shows each column with its
    // own setting; true when it removed any (the scenario changed, which its owner records).
    bool DropOrphanSettings();
    // Replaces the master cursors by one per master-table setting of the current table, each on
    // its first record. REQUIRES: a current table.
    //
    // The master cursors of a table's fill keep the pages they read in memory, up to the bound
    // over all of them, so that a small master table is read once however often its cursor
    // starts again; past the bound they read page by page. A table that is its own master
    // changes as the fill writes it, and is always read afresh. A cursor drawn from at random
    // keeps no pages: its generator keeps the one column it reads, within the same bound.
    void OpenMasterTables();
    static constexpr std::size_t kMasterPageBound = std::size_t{64} << 20;
    void SetMasterPageBound(std::size_t bytes) { masterPageBound_ = bytes; }
    // The first master cursor walked in order whose TableName is exactly `name`, or null.
    TableCursor* FindMasterTable(const std::string& name) const override;
    TableCursor* MasterTableOf(const TFillField& setting) const override;
    PageBudget& MasterPages() override { return masterPages_; }
    int MasterTableCount() const { return static_cast<int>(masterTables_.size()); }

    // Validation.

    // Whether `text` has the form that the method of the current table's setting `index` asks
    // for. A single value for a numeric column reads that column's type from the work table.
    bool CheckFillValue(int index, const std::string& text);
    // Raises "Wrong fill value. Table: ..." at the first setting of the current table whose
    // stored value fails CheckFillValue, and "No column for fill value. Table: ..." at a setting
    // past the table's last column (its column is gone) whose method writes values. Before
    // those, it refuses a binding that letter case left two ways to make, naming both, and a
    // table that has columns but no settings because its scenario file lost its Fields line.
    void CheckTableValues();
    // Binds and checks every table of the scenario in turn, then makes the table that was
    // current before current again, also when a check fails.
    void CheckAllValues();

    // What the current table's settings draw on, as the work table is now: the libraries the
    // check reads (each read once until the next check or fill) and the table's columns. The
    // reference stays valid as long as the engine; its contents change with the next call.
    const ValueSources& Sources();

    // The text the range generator makes for setting `index` of the current table, read from
    // the column named like the setting, with one random draw (the fill writes it to columns that
    // keep their text). What it works out from the setting is kept until the next bind or fill.
    std::string RandomRangeValue(int index);

    // The fill run.

    // Checks every value, then fills every table of the scenario in order and makes the table
    // that was current before current again, also when a fill fails. Each table is bound once:
    // the fill writes through the work table its check opened.
    void FillUp();
    // Asks a running FillUp to stop at the next record boundary: it commits the records posted
    // so far and raises EFillStopped, naming the table and how many of its records were kept.
    // Safe to call from another thread and from a signal handler (it is one lock-free atomic
    // store). A request made before FillUp reaches its first table stops it there, before that
    // table is emptied; FillUp clears the request on its way out.
    void RequestStop() noexcept { stopRequested_.store(true, std::memory_order_relaxed); }
    // With true, FillUp runs exactly as it would but inside a dry run on the scenario's alias,
    // which rolls every write back at its end, also when an error stops it.
    void SetDryRun(bool dryRun) { dryRun_ = dryRun; }
    // Called with the work table for every record the fill has made, just before it is posted:
    // the values the fill writes, and what the columns it leaves alone hold.
    using RecordObserver = std::function<void(const TableCursor& record)>;
    void SetRecordObserver(RecordObserver observer) { recordObserver_ = std::move(observer); }
    // Fills the table bound at the moment, telling the reporter from its start to its finish. A
    // database error that ends it gets a line naming the table and how many records it holds.
    // REQUIRES: a current table, open on the work table.
    void FillTable();

private:
    // The work tables of one check or Fill Up, one per scenario table in its order: the check
    // binds them and the fill uses them again.
    struct BoundTable {
        TFillTable* table;
        std::unique_ptr<TableCursor> cursor;
    };
    using BoundTables = std::vector<BoundTable>;

    TFillTable& Current() const;
    static std::unique_ptr<TableCursor> NewWorkTable();
    // Binds and checks each table of the scenario in turn, keeping its work table in `bound`.
    void CheckEachTable(BoundTables& bound);
    // Makes the table of `entry` current on the work table kept there, and keeps the work table
    // it replaces there instead; a second call puts them back.
    void SwapWorkTable(BoundTable& entry);
    // Runs `steps`, then makes the table that was current before current again on every way out
    // (or, without one, the table current at the end).
    void KeepingCurrent(BoundTables& bound, const std::function<void()>& steps);
    // Makes `table` current: on the work table as it is when `table` is current on an open one,
    // else on its open work table in `bound`, else by binding it.
    void MakeCurrent(TFillTable& table, BoundTables& bound);
    // Runs `step` on the current table between the reporter's TableStarted and TableFinished.
    void Reported(TableWork work, const std::function<void()>& step);
    // Refuses a current table read without its settings from a damaged file, and a binding that
    // letter case left two ways to make.
    void CheckBinding() const;
    // FillTable's work: empty or count the table, then write its records one by one.
    void WriteRecords();
    // Makes a writer for each column the current table's settings write.
    void StartWriters();
    // Tells the unique writers the values their columns hold, walking the work table once.
    void AvoidHeldValues();
    // The check of a setting's NULL share and unique setting; `column` is its column, or null.
    // `constraints` holds the current table's, read on first need.
    void CheckShareAndUnique(TFillField& setting, const CursorField* column,
                             std::optional<TableConstraints>& constraints);
    // The records a fill of the current table writes.
    std::int64_t RecordsToWrite();
    // The current table's records after a failed fill, or nothing when they cannot be counted or
    // the fill is a dry run.
    std::optional<std::int64_t> RecordsHeld();
    // Drops the generators, which point into the work table and the master cursors.
    void DropGenerators();
    TFieldType ColumnType(const std::string& name) override;
    const CursorField& Column(const std::string& name) override;
    // Puts writers_ in the order they write: a column before the columns made from it.
    void OrderWriters();
    // The columns of the work table whose values its walk must read, by index: empty for every
    // one.
    std::vector<bool> ColumnsToRead() const;

    void StartRecord(std::int32_t tableMethod, bool pastEnd);

    TFillScenario& scenario_;
    FillReporter& reporter_;
    // Never null.
    std::unique_ptr<TableCursor> workTable_;
    TFillTable* currentTable_ = nullptr;
    // What the last BindTable could not decide.
    std::optional<CaseConflict> caseConflict_;
    std::size_t masterPageBound_ = kMasterPageBound;
    // Declared before the cursors that draw on it, so that it outlives them.
    PageBudget masterPages_{kMasterPageBound};
    std::vector<std::unique_ptr<TableCursor>> masterTables_;
    // For each master cursor, the setting it was opened for when that setting draws its rows at
    // random and has the cursor to itself; null for the cursors walked in order.
    std::vector<const TFillField*> drawnFor_;
    RandomSource random_;
    std::optional<std::uint32_t> fixedSeed_;
    std::optional<DateTimeValue> fixedNow_;
    std::string scenarioFolder_;
    // The libraries of the running check or fill, each read once; made on first use.
    std::unique_ptr<LibraryShelf> shelf_;
    ValueSources sources_;
    // The clock when the running FillUp started.
    std::optional<DateTimeValue> runStart_;
    bool dryRun_ = false;
    RecordObserver recordObserver_;
    // The writers of the columns a fill writes, in column order.
    std::vector<ColumnWriter> writers_;
    // RandomRangeValue's generator and the setting it serves.
    std::unique_ptr<RangeGenerator> rangePreview_;
    std::atomic<bool> stopRequested_{false};
    static_assert(std::atomic<bool>::is_always_lock_free, "RequestStop must be signal-safe");
};

}  // namespace rowsmith
