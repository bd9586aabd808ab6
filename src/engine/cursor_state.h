// TableCursor::State: what an open cursor holds — the table's driver, its fields, the page of
// records it walks and the record being built. Private to TableCursor and CursorField.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "engine/cursor_field.h"
#include "engine/driver.h"
#include "engine/kept_pages.h"
#include "engine/table_cursor.h"

namespace rowsmith {

struct TableCursor::State {
    enum class Mode { Browse, Insert, Edit };

    std::unique_ptr<TableDriver> driver;
    const std::vector<ColumnInfo>* columns = nullptr;
    std::vector<CursorField> fields;

    Mode mode = Mode::Browse;
    // The record being built: its values and which columns were written. Kept from record to
    // record, so their text buffers are reused.
    std::vector<FieldValue> buffer;
    std::vector<bool> assigned;

    // The walk: one page of records in the table's order and the position in it.
    std::vector<Record> page;
    std::size_t position = 0;
    // The page before, whose records the next page is read into.
    std::vector<Record> spare;
    // Where the next page starts: the original key of the page's last record.
    RecordKey pageEnd;
    bool lastPage = true;
    bool atEnd = true;
    // Whether pages are read with only some columns' values (ReadOnlyColumns).
    bool narrow = false;
    // The walk's pages kept in memory; null without a page budget or once the cursor wrote.
    std::unique_ptr<KeptPages> kept;

    // After an appended record is posted it is the current record; its key and stored values are
    // fetched only when something asks for them, so appending never reads the table.
    bool onAppended = false;
    bool appendedLoaded = false;
    Record appended;
};

// Inline: every value a fill writes passes here.
inline TableCursor::State& TableCursor::EditState() {
    if (!state_ || state_->mode == State::Mode::Browse) {
        NotEditingError();
    }
    return *state_;
}

}  // namespace rowsmith
