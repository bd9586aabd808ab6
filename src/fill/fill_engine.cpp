#include "fill/fill_engine.h"

#include <algorithm>
#include <limits>

#include "engine/database_errors.h"
#include "engine/dry_run_scope.h"
#include "engine/fill_run_scope.h"
#include "fill/fill_stopped.h"
#include "fill/generators/fill_method_registry.h"
#include "fill/generators/range_generator.h"
#include "fill/negative_rec_count.h"
#include "model/fill_methods.h"
#include "text/errors.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

std::int32_t ClampRecordCount(std::int64_t count) {
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(count, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

FillEngine::FillEngine(TFillScenario& scenario, FillReporter& reporter)
    : scenario_(scenario), reporter_(reporter), workTable_(NewWorkTable()) {}

std::unique_ptr<TableCursor> FillEngine::NewWorkTable() {
    auto cursor = std::make_unique<TableCursor>();
    cursor->SetTableType(ttDefault);
    cursor->SetExclusive(true);
    return cursor;
}

FillEngine::~FillEngine() = default;

void FillEngine::ForgetCurrentTable() {
    currentTable_ = nullptr;
    caseConflict_.reset();
    DropGenerators();
}

void FillEngine::DropGenerators() {
    writers_.clear();
    rangePreview_.reset();
}

void FillEngine::CloseWorkTable() {
    ForgetCurrentTable();
    workTable_->Close();
}

TFillTable& FillEngine::Current() const {
    if (currentTable_ == nullptr) {
        throw EInvalidOperation("No table is bound");
    }
    return *currentTable_;
}

void FillEngine::BindTable(TFillTable& table) {
    currentTable_ = &table;
    caseConflict_.reset();
    DropGenerators();
    workTable_->Close();
    // The scenario's alias may have changed since the last bind (a new or loaded scenario).
    workTable_->SetDatabaseName(scenario_.AliasName());
    workTable_->SetTableName(table.TableName());
    workTable_->Open();
    std::vector<std::string> columnNames;
    workTable_->ListFieldNames(columnNames);
    caseConflict_ = table.ArrangeFields(columnNames).conflict;
}

int FillEngine::OrphanSettingCount() const {
    if (currentTable_ == nullptr || !workTable_->Active()) {
        return 0;
    }
    return std::max(currentTable_->Fields().Count() - workTable_->FieldCount(), 0);
}

bool FillEngine::DropOrphanSettings() {
    if (OrphanSettingCount() == 0) {
        return false;
    }
    DropGenerators();
    currentTable_->DeleteFieldsFrom(workTable_->FieldCount());
    return true;
}

// A table without settings, or bound one of two ways, would have its columns filled by guess.
void FillEngine::CheckBinding() const {
    const TFillTable& table = Current();
    bool writes = false;
    for (int i = 0; i < table.Fields().Count(); ++i) {
        writes = writes || WritesValues(table.Fields().Items(i).FillMethod());
    }
    if (table.FieldListMissing() && workTable_->FieldCount() > 0 && !writes) {
        // Filling it would empty the table and write records with every column left unfilled.
        throw Exception("Table \"" + table.TableName() +
                        "\" has no column settings: its scenario file has no Fields line for it "
                        "and may be damaged");
    }
    if (caseConflict_) {
        // Taking either of two names that differ only in letter case could fill the wrong column.
        const CaseConflict& c = *caseConflict_;
        throw Exception(std::string(c.betweenSettings ? "Two fill values for one column"
                                                      : "Two columns for one fill value") +
                        ". Table: \"" + table.TableName() + "\". Field: \"" + c.name + "\". " +
                        (c.betweenSettings ? "Fill values" : "Columns") + ": \"" + c.first +
                        "\", \"" + c.second + "\"");
    }
}

void FillEngine::OpenMasterTables() {
    // The generators point into the cursors about to be freed.
    DropGenerators();
    masterTables_.clear();
    drawnFor_.clear();
    masterPages_ = PageBudget(masterPageBound_);
    const TFFList& fields = Current().Fields();
    for (int i = 0; i < fields.Count(); ++i) {
        const auto generator = MakeGenerator(std::as_const(fields.Items(i)));
        const std::optional<TableFieldParts> master =
            generator ? generator->MasterColumn() : std::nullopt;
        if (!master) {
            continue;
        }
        auto cursor = std::make_unique<TableCursor>();
        cursor->SetDatabaseName(scenario_.AliasName());
        cursor->SetTableName(master->table);
        const bool drawn = generator->DrawsAtRandom();
        // Compared as SQLite compares names; a false match only costs the keeping.
        if (!SameText(cursor->TableName(), workTable_->TableName()) && !drawn) {
            cursor->SetPageBudget(&masterPages_);
        }
        cursor->Open();
        masterTables_.push_back(std::move(cursor));
        drawnFor_.push_back(drawn ? &fields.Items(i) : nullptr);
    }
}

TableCursor* FillEngine::MasterTableOf(const TFillField& setting) const {
    for (std::size_t i = 0; i < drawnFor_.size(); ++i) {
        if (drawnFor_[i] == &setting) {
            return masterTables_[i].get();
        }
    }
    return nullptr;
}

TableCursor* FillEngine::FindMasterTable(const std::string& name) const {
    for (std::size_t i = 0; i < masterTables_.size(); ++i) {
        if (drawnFor_[i] == nullptr && masterTables_[i]->TableName() == name) {
            return masterTables_[i].get();
        }
    }
    return nullptr;
}

void FillEngine::SwapWorkTable(BoundTable& entry) {
    std::swap(workTable_, entry.cursor);
    currentTable_ = entry.table;
    DropGenerators();
}

void FillEngine::KeepingCurrent(BoundTables& bound, const std::function<void()>& steps) {
    TFillTable* const remembered = currentTable_;
    try {
        steps();
    } catch (...) {
        // The error that stopped the run is the one to report; a failing bind on the way out
        // must not replace it.
        if (TFillTable* const table = remembered != nullptr ? remembered : currentTable_) {
            try {
                MakeCurrent(*table, bound);
            } catch (...) {
            }
        }
        throw;
    }
    if (TFillTable* const table = remembered != nullptr ? remembered : currentTable_) {
        MakeCurrent(*table, bound);
    }
}

void FillEngine::MakeCurrent(TFillTable& table, BoundTables& bound) {
    if (currentTable_ == &table && workTable_->Active()) {
        // A record the failed fill started is not written.
        if (workTable_->Editing()) {
            workTable_->Cancel();
        }
        return;
    }
    for (BoundTable& entry : bound) {
        if (entry.table == &table && entry.cursor->Active()) {
            workTable_ = std::move(entry.cursor);
            currentTable_ = &table;
            DropGenerators();
            return;
        }
    }
    BindTable(table);
}

void FillEngine::Reported(TableWork work, const std::function<void()>& step) {
    reporter_.TableStarted(Current().TableName(), work);
    try {
        step();
    } catch (...) {
        reporter_.TableFinished(false);
        throw;
    }
    reporter_.TableFinished(true);
}

void FillEngine::FillUp() {
    // A stop request is for this run only.
    struct ClearStop {
        std::atomic<bool>& requested;
        ~ClearStop() { requested.store(false, std::memory_order_relaxed); }
    } clearStop{stopRequested_};
    // Every table of a run sees the same "now".
    struct ForgetStart {
        std::optional<DateTimeValue>& start;
        ~ForgetStart() { start.reset(); }
    } forgetStart{runStart_};
    runStart_ = LocalNow();
    // Library files edited since the last run are read afresh.
    shelf_.reset();
    std::optional<DryRunScope> dryRun;
    // A scenario without tables touches no database, dry or not.
    if (dryRun_ && scenario_.Tables().Count() > 0) {
        dryRun.emplace(scenario_.AliasName());
    }
    BoundTables bound;
    KeepingCurrent(bound, [this, &bound] {
        CheckEachTable(bound);
        for (BoundTable& entry : bound) {
            SwapWorkTable(entry);
            // What the fills before wrote to this table shows, as in a work table opened now.
            workTable_->First();
            FillTable();
            SwapWorkTable(entry);
        }
    });
    if (dryRun) {
        dryRun->Finish();
    }
}

void FillEngine::FillTable() {
    Reported(TableWork::Fill, [this] {
        try {
            WriteRecords();
        } catch (const ELockTimeout&) {
            // It names the table already, and counting would wait for the lock again.
            throw;
        } catch (const EDBEngineError& error) {
            // A database's message (a full disk, a lost server, a refused value) need not say
            // which table it was writing, nor what the fill kept of it. The run has ended by now,
            // so the records that stayed are there to count.
            throw EDBEngineError(std::string(error.what()) + "\n" +
                                 FailedFillText(Current().TableName(), RecordsHeld()));
        }
    });
}

std::optional<std::int64_t> FillEngine::RecordsHeld() {
    if (dryRun_) {
        // What it wrote is about to be rolled back, and what a database keeps of a failed run
        // inside a dry run need not be what a real run keeps.
        return std::nullopt;
    }
    try {
        if (const std::int64_t count = workTable_->CountRecords(); count >= 0) {
            return count;
        }
    } catch (const std::exception&) {
        // A server out of reach: the error on its way says so, and the table is named all the
        // same.
    }
    return std::nullopt;
}

void FillEngine::WriteRecords() {
    TFillTable& table = Current();
    if (stopRequested_.load(std::memory_order_relaxed)) {
        // Before anything of the table is written, emptying included.
        throw EFillStopped(table.TableName(), 0);
    }
    if (fixedSeed_) {
        random_.SetRandomSeed(TableSeed(*fixedSeed_, scenario_.Tables().IndexOf(&table)));
    } else {
        random_.SeedFromClock();
    }
    OpenMasterTables();

    const std::int32_t method = table.TableFillMethod();
    if (method == tfUpdateExisting) {
        table.SetRecCount(ClampRecordCount(workTable_->CountRecords()));
    }
    // A negative count cannot be the progress bar's maximum. Refusing it before the table is
    // emptied keeps the table's records.
    if (table.RecCount() < 0) {
        throw ENegativeRecCount(table.TableName(), table.RecCount());
    }
    const std::int32_t recCount = table.RecCount();

    // The walk past the first page reads only what the fill looks at. Once the run has ended
    // (declared before it, this ends after it), the cursor reads whole records again, by reads
    // that meet no writes of the run still waiting.
    struct ReadingOnly {
        TableCursor* cursor = nullptr;
        ~ReadingOnly() {
            try {
                if (cursor != nullptr) {
                    cursor->ReadOnlyColumns({});
                }
            } catch (const std::exception&) {
                // Whatever keeps the records from being read is met again by the next read.
            }
        }
    } reading;
    FillRunScope run(workTable_->DatabaseName());
    if (method == tfEmptyAndFill) {
        workTable_->DeleteAllRecords();
    }
    reporter_.WritingStarted(recCount);

    StartWriters();
    if (method != tfEmptyAndFill) {
        AvoidHeldValues();
    }
    OrderWriters();
    if (method != tfEmptyAndFill) {
        if (const std::vector<bool> read = ColumnsToRead(); !read.empty()) {
            workTable_->ReadOnlyColumns(read);
            reading.cursor = workTable_.get();
        }
    }

    bool pastEnd = false;
    for (std::int32_t pass = 0; pass < recCount; ++pass) {
        // The boundary between records: what was posted is committed, nothing is half written.
        if (stopRequested_.load(std::memory_order_relaxed)) {
            run.Finish();
            throw EFillStopped(table.TableName(), pass, method == tfEmptyAndFill);
        }
        StartRecord(method, pastEnd);
        for (ColumnWriter& writer : writers_) {
            writer.Write();
        }
        if (recordObserver_) {
            recordObserver_(*workTable_);
        }
        workTable_->Post();
        if (method == tfUpdateAndFill && !pastEnd) {
            // Once past the end every pass appends, so the walk need not go on.
            workTable_->Next();
            pastEnd = workTable_->AtEnd();
        } else if (method == tfUpdateExisting) {
            workTable_->Next();
            if (workTable_->AtEnd()) {
                break;
            }
        }
        reporter_.RecordsWritten(pass + 1);
    }
    run.Finish();
}

void FillEngine::StartRecord(std::int32_t tableMethod, bool pastEnd) {
    switch (tableMethod) {
        case tfEmptyAndFill:
            workTable_->Append();
            break;
        case tfUpdateAndFill:
            if (pastEnd) {
                workTable_->Append();
            } else {
                workTable_->Edit();
            }
            break;
        case tfUpdateExisting:
            workTable_->Edit();
            break;
        default:
            // An unknown method starts no record: the first write or the post refuses it.
            break;
    }
}

std::string FillEngine::RandomRangeValue(int index) {
    TFillField& setting = Current().Fields().Items(index);
    if (!rangePreview_ || &rangePreview_->Setting() != &setting) {
        rangePreview_ = std::make_unique<RangeGenerator>(setting);
        const CursorField& column = workTable_->FieldNamed(setting.FieldName());
        rangePreview_->SetShape(ColumnShape{column.FieldType(), column.Size(), column.IsWide()});
        rangePreview_->Start(*this, nullptr);
    }
    return rangePreview_->MakeText();
}

DateTimeValue FillEngine::Now() {
    if (fixedNow_) {
        return *fixedNow_;
    }
    return runStart_ ? *runStart_ : LocalNow();
}

TFieldType FillEngine::ColumnType(const std::string& name) {
    return workTable_->FieldNamed(name).FieldType();
}

}  // namespace rowsmith
