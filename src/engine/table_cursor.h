// TableCursor: one table opened through an alias, with a current record. Properties are set
// while the cursor is closed and take effect at the next Open. While open the cursor is either
// browsing or holding a started record (after Append or Edit) until Post or Cancel.
//
// Walking (First, Next, AtEnd) follows the table's own order with keyset paging, so memory stays
// flat however large the table, and a walk that edits records visits each original record once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/cursor_field.h"
#include "engine/driver.h"
#include "engine/field_type.h"

namespace rowsmith {

class PageBudget;

// A record's place, kept by TableCursor::GetBookmark: the record's key, so it stays good while
// other records come and go, and leads nowhere once its record is deleted or its key changed.
struct CursorBookmark {
    RecordKey key;
};

class TableCursor {
public:
    TableCursor();
    ~TableCursor();  // closes the cursor
    TableCursor(const TableCursor&) = delete;
    TableCursor& operator=(const TableCursor&) = delete;

    // Properties; changing one while the cursor is open throws EDatabaseError.
    const std::string& DatabaseName() const;
    void SetDatabaseName(const std::string& alias);
    const std::string& TableName() const;
    void SetTableName(const std::string& name);
    TTableType TableType() const;
    void SetTableType(TTableType type);
    bool Exclusive() const;
    void SetExclusive(bool exclusive);
    // With a budget, a walk from the first record keeps its pages in memory while the budget
    // holds them, and a walk that starts again at First reads nothing: for a cursor that only
    // reads, on a table nobody writes meanwhile. Writing through the cursor stops the keeping.
    void SetPageBudget(PageBudget* budget);
    bool Active() const;

    // Opens the table on its first record. Throws "Missing TableName property" for an empty
    // table name, EDBEngineError when the database refuses.
    void Open();
    // Drops a started record; closing a closed cursor does nothing.
    void Close();

    void ListFieldNames(std::vector<std::string>& list) const;
    int FieldCount() const { return fieldCount_; }
    // Throws EListError "List index out of bounds (%d)". A constant cursor gives its columns to
    // read about (name, type, size, current value), not to write.
    CursorField& FieldAt(int index) { return fields_[CheckedFieldIndex(index)]; }
    const CursorField& FieldAt(int index) const { return fields_[CheckedFieldIndex(index)]; }
    // Compared without regard to case; throws "%s: Field '%s' not found".
    CursorField& FieldNamed(const std::string& name);

    void DeleteAllRecords();
    // The number of records, or -1 when the database cannot tell.
    std::int64_t CountRecords();

    // Starts a new record at the end.
    void Append();
    // Starts changing the current record; on a table without records, starts a new one.
    void Edit();
    // Writes the started record. Throws "Dataset not in edit or insert mode" when none is started.
    void Post();
    // Drops the started record.
    void Cancel();
    // Removes the current record.
    void Delete();
    bool Editing() const;

    // From the next page on, the walk need read only the values of the columns flagged in
    // `columns` (by index); the others hold no value of their record (empty, or one of a record
    // read before), for a walk that overwrites them unread. An empty list reads every column
    // again, and reads the current record and the rest of its page afresh. A cursor that reads
    // only some columns keeps no pages.
    void ReadOnlyColumns(const std::vector<bool>& columns);

    void First();
    // When there is no following record, AtEnd becomes true and the current record stays.
    void Next();
    bool AtEnd() const;

    // Bookmarks, for a viewer that comes back to records it has shown. Moving by a bookmark or a
    // position starts a new walk there: Next goes on from that record in the table's order.
    //
    // The current record's bookmark. Throws on a table without records.
    CursorBookmark GetBookmark() const;
    // Moves to the bookmarked record; false, the cursor where it was, when the record is gone.
    // A started record is posted or dropped first, as by Next.
    bool GotoBookmark(const CursorBookmark& bookmark);
    // Moves to the record at `position` (from 0) in the table's order; false, the cursor where it
    // was, when there is none. Given the record count (CountRecords), the cursor reaches positions
    // in the back half from the end, which is quicker on large tables.
    bool MoveTo(std::int64_t position, std::int64_t recordCount = -1);
    // Moves to the record `back` places (from 1) before the bookmarked one; false, the cursor where
    // it was, when fewer records come before it. Quick at any depth of a large table.
    bool MoveBefore(const CursorBookmark& bookmark, std::int64_t back);

private:
    friend class CursorField;
    struct State;

    [[noreturn]] static void FieldIndexError(int index);
    int CheckedFieldIndex(int index) const {
        if (static_cast<unsigned>(index) >= static_cast<unsigned>(fieldCount_)) {
            FieldIndexError(index);
        }
        return index;
    }
    [[noreturn]] static void NotEditingError();
    // The state of the open cursor; throws "Cannot perform this operation on a closed dataset".
    State& OpenState() const;
    // The state of a cursor holding a started record; throws "Dataset not in edit or insert mode".
    State& EditState();
    // Throws "Cannot perform this operation on an open dataset".
    void CheckInactive() const;
    // The current record, or null when the table has none.
    Record* CurrentRecord() const;
    // The value a read of column `index` sees: the started record's when written, else the
    // current record's.
    const FieldValue& CurrentValue(int index) const;
    void LoadFirstPage();
    // Moves the walk on to the next page; false, leaving the page as it is, when there is none.
    bool LoadNextPage();
    // Makes `page` the one the walk stands in, at its first record.
    void TakePage(std::vector<Record> page);
    // The kept page after the one shown, or the first with `first`, as the one the walk stands
    // in; false when there is none kept.
    bool TakeKeptPage(bool first);
    // Before the cursor writes: what it keeps would no longer be what the table holds.
    void StopKeeping();
    // Makes `record` the current record, the start of a new walk.
    void StandOn(Record&& record);
    // Before moving: posts a started record that was written to, drops one that was not.
    void CheckBrowseMode();

    std::string databaseName_;
    std::string tableName_;
    TTableType tableType_ = ttDefault;
    bool exclusive_ = false;
    PageBudget* pageBudget_ = nullptr;
    std::unique_ptr<State> state_;  // present while open
    // The open table's fields, kept here so that FieldAt, called for every value a fill writes,
    // costs no more than an index check.
    CursorField* fields_ = nullptr;
    int fieldCount_ = 0;
};

}  // namespace rowsmith
