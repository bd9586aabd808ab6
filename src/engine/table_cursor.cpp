#include "engine/table_cursor.h"

#include <algorithm>
#include <utility>

#include "engine/cursor_state.h"
#include "engine/database_errors.h"
#include "engine/database_session.h"
#include "engine/lock_naming_driver.h"
#include "text/text_helpers.h"

namespace rowsmith {

namespace {

// Records per page of a walk: big enough that paging costs little, small enough that memory
// stays flat.
constexpr std::size_t kPageSize = 1000;

const FieldValue kEmptyValue;

}  // namespace

TableCursor::TableCursor() = default;

TableCursor::~TableCursor() {
    Close();
}

const std::string& TableCursor::DatabaseName() const {
    return databaseName_;
}

void TableCursor::SetDatabaseName(const std::string& alias) {
    CheckInactive();
    databaseName_ = alias;
}

const std::string& TableCursor::TableName() const {
    return tableName_;
}

void TableCursor::SetTableName(const std::string& name) {
    CheckInactive();
    tableName_ = name;
}

TTableType TableCursor::TableType() const {
    return tableType_;
}

void TableCursor::SetTableType(TTableType type) {
    CheckInactive();
    tableType_ = type;
}

bool TableCursor::Exclusive() const {
    return exclusive_;
}

void TableCursor::SetExclusive(bool exclusive) {
    CheckInactive();
    exclusive_ = exclusive;
}

void TableCursor::SetPageBudget(PageBudget* budget) {
    CheckInactive();
    pageBudget_ = budget;
}

bool TableCursor::Active() const {
    return state_ != nullptr;
}

void TableCursor::Open() {
    if (state_) {
        return;
    }
    if (tableName_.empty()) {
        throw EDatabaseError("Missing TableName property");
    }
    auto state = std::make_unique<State>();
    state->driver = OpenNamingLockTimeouts(DatabaseSession::Instance().Connect(databaseName_),
                                           tableName_, exclusive_);
    state->columns = &state->driver->Columns();
    const int count = static_cast<int>(state->columns->size());
    state->fields.reserve(count);
    for (int i = 0; i < count; ++i) {
        state->fields.emplace_back(*this, i);
    }
    state->buffer.resize(count);
    state->assigned.assign(count, false);
    if (pageBudget_ != nullptr) {
        state->kept = std::make_unique<KeptPages>(*pageBudget_);
    }
    state_ = std::move(state);
    fields_ = state_->fields.data();
    fieldCount_ = count;
    try {
        LoadFirstPage();
    } catch (...) {
        Close();
        throw;
    }
}

void TableCursor::Close() {
    fields_ = nullptr;
    fieldCount_ = 0;
    state_.reset();
}

void TableCursor::ListFieldNames(std::vector<std::string>& list) const {
    list.clear();
    if (state_) {
        for (const auto& column : *state_->columns) {
            list.push_back(column.name);
        }
    }
}

CursorField& TableCursor::FieldNamed(const std::string& name) {
    if (state_) {
        for (auto& field : state_->fields) {
            if (SameText(field.FieldName(), name)) {
                return field;
            }
        }
    }
    // The access layer names the cursor component first; cursors made in code have no name.
    throw EDatabaseError(": Field '" + name + "' not found");
}

void TableCursor::DeleteAllRecords() {
    State& state = OpenState();
    StopKeeping();
    state.mode = State::Mode::Browse;
    state.driver->DeleteAll();
    state.page.clear();
    state.position = 0;
    state.lastPage = true;
    state.atEnd = true;
    state.onAppended = false;
}

std::int64_t TableCursor::CountRecords() {
    return OpenState().driver->Count();
}

void TableCursor::Append() {
    State& state = OpenState();
    StopKeeping();
    if (state.mode != State::Mode::Browse) {
        CheckBrowseMode();
    }
    state.mode = State::Mode::Insert;
    std::fill(state.assigned.begin(), state.assigned.end(), false);
}

void TableCursor::Edit() {
    State& state = OpenState();
    if (state.mode != State::Mode::Browse) {
        return;
    }
    StopKeeping();
    state.mode = CurrentRecord() != nullptr ? State::Mode::Edit : State::Mode::Insert;
    std::fill(state.assigned.begin(), state.assigned.end(), false);
}

void TableCursor::Post() {
    State& state = OpenState();
    if (state.mode == State::Mode::Insert) {
        state.driver->Insert(state.buffer, state.assigned);
        state.mode = State::Mode::Browse;
        state.onAppended = true;
        state.appendedLoaded = false;
        state.atEnd = false;
        return;
    }
    if (state.mode != State::Mode::Edit) {
        NotEditingError();
    }
    Record* record = CurrentRecord();
    state.driver->Update(record->key, state.buffer, state.assigned);
    for (std::size_t i = 0; i < state.assigned.size(); ++i) {
        if (state.assigned[i]) {
            record->values[i] = state.buffer[i];
        }
    }
    state.mode = State::Mode::Browse;
}

void TableCursor::Cancel() {
    OpenState().mode = State::Mode::Browse;
}

void TableCursor::Delete() {
    State& state = OpenState();
    // A record not yet posted is only dropped.
    if (state.mode == State::Mode::Insert) {
        state.mode = State::Mode::Browse;
        return;
    }
    state.mode = State::Mode::Browse;
    Record* record = CurrentRecord();
    if (record == nullptr) {
        throw EDatabaseError("Cannot perform this operation on an empty dataset");
    }
    StopKeeping();
    state.driver->Delete(record->key);
    if (state.onAppended) {
        // Back to where the cursor stood before the append.
        state.onAppended = false;
        if (state.page.empty()) {
            LoadFirstPage();
        }
        return;
    }
    state.page.erase(state.page.begin() + static_cast<std::ptrdiff_t>(state.position));
    // The deleted record was the page's last: on to the next page, or back to the record before.
    if (state.position < state.page.size() || LoadNextPage()) {
        return;
    }
    if (!state.page.empty()) {
        state.position = state.page.size() - 1;
    } else {
        // Earlier pages are not kept; starting again from the first record is the next best.
        LoadFirstPage();
    }
}

bool TableCursor::Editing() const {
    return state_ && state_->mode != State::Mode::Browse;
}

void TableCursor::ReadOnlyColumns(const std::vector<bool>& columns) {
    State& state = OpenState();
    StopKeeping();
    const bool wasNarrow = std::exchange(state.narrow, state.driver->ReadColumns(columns));
    if (!wasNarrow || state.narrow || state.onAppended) {
        return;
    }
    // The records of the page from the current one on may still be met: read them whole. Those
    // before it are behind the walk.
    for (std::size_t i = state.position; i < state.page.size(); ++i) {
        Record& record = state.page[i];
        if (!state.driver->ReadRecord(record.key, record)) {
            record.values.assign(state.columns->size(), FieldValue());
        }
    }
}

void TableCursor::First() {
    State& state = OpenState();
    if (state.mode != State::Mode::Browse) {
        CheckBrowseMode();
    }
    LoadFirstPage();
}

void TableCursor::Next() {
    State& state = OpenState();
    if (state.mode != State::Mode::Browse) {
        CheckBrowseMode();
    }
    // A record appended here lies beyond the walk's original records.
    if (state.onAppended || state.page.empty()) {
        state.atEnd = true;
        return;
    }
    if (state.position + 1 < state.page.size()) {
        ++state.position;
        state.atEnd = false;
        return;
    }
    state.atEnd = !LoadNextPage();
}

bool TableCursor::AtEnd() const {
    return OpenState().atEnd;
}

TableCursor::State& TableCursor::OpenState() const {
    if (!state_) {
        throw EDatabaseError("Cannot perform this operation on a closed dataset");
    }
    return *state_;
}

void TableCursor::FieldIndexError(int index) {
    throw EListError::OutOfBounds(index);
}

void TableCursor::NotEditingError() {
    throw EDatabaseError("Dataset not in edit or insert mode");
}

void TableCursor::CheckInactive() const {
    if (state_) {
        throw EDatabaseError("Cannot perform this operation on an open dataset");
    }
}

Record* TableCursor::CurrentRecord() const {
    State& state = *state_;
    if (state.onAppended) {
        if (!state.appendedLoaded) {
            state.appended.key = state.driver->LastInsertKey();
            if (!state.driver->ReadRecord(state.appended.key, state.appended)) {
                state.appended.values.assign(state.columns->size(), FieldValue());
            }
            state.appendedLoaded = true;
        }
        return &state.appended;
    }
    return state.page.empty() ? nullptr : &state.page[state.position];
}

const FieldValue& TableCursor::CurrentValue(int index) const {
    State& state = OpenState();
    if (state.mode != State::Mode::Browse && state.assigned[index]) {
        return state.buffer[index];
    }
    if (state.mode == State::Mode::Insert) {
        return kEmptyValue;
    }
    const Record* record = CurrentRecord();
    return record != nullptr ? record->values[index] : kEmptyValue;
}

void TableCursor::LoadFirstPage() {
    State& state = *state_;
    state.onAppended = false;
    if (!TakeKeptPage(true)) {
        std::vector<Record> first = state.driver->ReadPage(nullptr, kPageSize);
        if (state.kept) {
            state.kept->Read(state.page, first, true, first.size() < kPageSize);
        }
        TakePage(std::move(first));
    }
    state.atEnd = state.page.empty();
}

bool TableCursor::LoadNextPage() {
    State& state = *state_;
    if (state.lastPage) {
        return false;
    }
    if (TakeKeptPage(false)) {
        return true;
    }
    std::vector<Record> next = std::move(state.spare);
    state.driver->ReadPageInto(&state.pageEnd, kPageSize, next);
    if (next.empty()) {
        state.spare = std::move(next);
        state.lastPage = true;
        if (state.kept) {
            state.kept->Ended();
        }
        return false;
    }
    if (state.kept) {
        state.kept->Read(state.page, next, false, next.size() < kPageSize);
    }
    TakePage(std::move(next));
    return true;
}

bool TableCursor::TakeKeptPage(bool first) {
    State& state = *state_;
    if (!state.kept || !state.kept->Show(state.page, first)) {
        return false;
    }
    state.position = 0;
    state.lastPage = state.kept->ShowingLast();
    if (!state.page.empty()) {
        state.pageEnd = state.page.back().key;
    }
    return true;
}

void TableCursor::StopKeeping() {
    state_->kept.reset();
}

void TableCursor::TakePage(std::vector<Record> page) {
    State& state = *state_;
    state.lastPage = page.size() < kPageSize;
    if (!page.empty()) {
        state.pageEnd = page.back().key;
    }
    // The page left, unless the kept pages took it, is storage for the next one.
    state.spare = std::move(state.page);
    state.page = std::move(page);
    state.position = 0;
}

void TableCursor::CheckBrowseMode() {
    State& state = *state_;
    if (std::any_of(state.assigned.begin(), state.assigned.end(),
                    [](bool written) { return written; })) {
        Post();
    } else {
        state.mode = State::Mode::Browse;
    }
}

}  // namespace rowsmith
