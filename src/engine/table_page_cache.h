// TablePageCache: a window of pages over the records of an open TableCursor, for a grid that shows
// a table of any size. It holds a few pages of records in the table's order, those asked for last,
// loaded on demand through the cursor's bookmarks and positions, the least recently used dropped:
// memory is the same for ten records and for ten million. Rows are numbered from 0 in the table's
// order; the records known are those of the first page until the table is counted.
//
// The cache never reports anything itself: a failed read is thrown to the caller, once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/table_cursor.h"

namespace rowsmith {

class TablePageCache {
public:
    static constexpr int kPageRows = 100;
    static constexpr int kMaxPages = 8;

    struct Row {
        CursorBookmark mark;
        std::vector<std::string> values;
    };

    // Starts over on `cursor`, or on nothing for null, and reads the first page; a short first
    // page is the whole table, which is then counted. The cursor must be open and outlive its use
    // here. Throws the engine's error when the first page cannot be read.
    void Reset(TableCursor* cursor);
    TableCursor* Cursor() const { return cursor_; }

    // The records known: all of them once Counted.
    std::int64_t Records() const { return records_; }
    bool Counted() const { return counted_; }
    // Counts the table's records once and gives the count; the caller takes it with SetRecords.
    // REQUIRES: a cursor and !Counted(). Throws the engine's error.
    std::int64_t Count();
    void SetRecords(std::int64_t records) { records_ = records; }

    // The record of `row`, loading its page; null outside the records or past those the table
    // still has. A page that cannot be read throws the engine's error and is kept empty, so the
    // error comes once and the rows of that page read as gone.
    const Row* RowAt(std::int64_t row);
    // Moves the cursor onto the record of `row`; throws when the record is gone.
    void GoToRow(std::int64_t row);
    // The cursor's current record.
    Row ReadCurrent() const;

    // A record written at `row`: an edited one replaces the row, a new one (already counted in
    // Records) joins its page.
    void StorePosted(std::int64_t row, Row&& posted);
    // A record known was deleted: every later record moves up a row, and the pages are read
    // again as they are asked for. REQUIRES: Records() > 0.
    void Removed();

    // How many pages are held now.
    int LoadedPages() const { return static_cast<int>(pages_.size()); }

private:
    struct Page {
        std::int64_t index = 0;
        std::vector<Row> rows;
        std::uint64_t lastUse = 0;
    };

    Page& LoadPage(std::int64_t index);
    Page* FindPage(std::int64_t index);

    TableCursor* cursor_ = nullptr;
    std::int64_t records_ = 0;
    bool counted_ = true;
    std::vector<Page> pages_;
    std::uint64_t clock_ = 0;
};

}  // namespace rowsmith
