#include "fill/fill_engine.h"

#include <algorithm>
#include <limits>

#include "engine/dry_run_scope.h"
#include "engine/fill_run_scope.h"
#include "fill/fill_stopped.h"
#include "fill/generators/fill_method_registry.h"
#include "fill/generators/range_generator.h"
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
    DropGenerators();
}

void FillEngine::DropGenerators() {
    generators_.clear();
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
    DropGenerators();
    workTable_->Close();
    // The scenario's alias may have changed since the last bind (a new or loaded scenario).
    workTable_->SetDatabaseName(scenario_.AliasName());
    workTable_->SetTableName(table.TableName());
    workTable_->Open();
    std::vector<std::string> columnNames;
    workTable_->ListFieldNames(columnNames);
    table.ArrangeFields(columnNames);
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

void FillEngine::OpenMasterTables() {
    // The generators point into the cursors about to be freed.
    DropGenerators();
    masterTables_.clear();
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
        // Compared as SQLite compares names; a false match only costs the keeping.
        if (!SameText(cursor->TableName(), workTable_->TableName())) {
            cursor->SetPageBudget(&masterPages_);
        }
        cursor->Open();
        masterTables_.push_back(std::move(cursor));
    }
}

TableCursor* FillEngine::FindMasterTable(const std::string& name) const {
    for (const auto& cursor : masterTables_) {
        if (cursor->TableName() == name) {
            return cursor.get();
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
    Reported(TableWork::Fill, [this] { WriteRecords(); });
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
        throw EInvalidOperation("TProgressBar property out of range");
    }
    const std::int32_t recCount = table.RecCount();

    FillRunScope run(workTable_->DatabaseName());
    if (method == tfEmptyAndFill) {
        workTable_->DeleteAllRecords();
    }
    reporter_.WritingStarted(recCount);

    for (int i = 0; i < workTable_->FieldCount(); ++i) {
        TFillField& setting = table.Fields().Items(i);
        setting.ResetCounter();
        if (WritesValues(setting.FillMethod())) {
            generators_.push_back(MakeGenerator(setting));
            generators_.back()->Start(*this, &workTable_->FieldAt(i));
        }
    }

    bool pastEnd = false;
    for (std::int32_t pass = 0; pass < recCount; ++pass) {
        // The boundary between records: what was posted is committed, nothing is half written.
        if (stopRequested_.load(std::memory_order_relaxed)) {
            run.Finish();
            throw EFillStopped(table.TableName(), pass);
        }
        StartRecord(method, pastEnd);
        for (const auto& generator : generators_) {
            generator->Write();
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
        rangePreview_->Start(*this, nullptr);
    }
    return rangePreview_->MakeText();
}

TFieldType FillEngine::ColumnType(const std::string& name) {
    return workTable_->FieldNamed(name).FieldType();
}

}  // namespace rowsmith
