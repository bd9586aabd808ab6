// TableCursor: bookmarks and moving to a position.
#include "engine/cursor_state.h"
#include "engine/database_errors.h"
#include "engine/table_cursor.h"

namespace rowsmith {

CursorBookmark TableCursor::GetBookmark() const {
    OpenState();
    const Record* record = CurrentRecord();
    if (record == nullptr) {
        throw EDatabaseError("Cannot perform this operation on an empty dataset");
    }
    return CursorBookmark{record->key};
}

bool TableCursor::GotoBookmark(const CursorBookmark& bookmark) {
    State& state = OpenState();
    if (state.mode != State::Mode::Browse) {
        CheckBrowseMode();
    }
    Record record;
    if (!state.driver->SeekRecord(bookmark.key, record)) {
        return false;
    }
    StandOn(std::move(record));
    return true;
}

bool TableCursor::MoveTo(std::int64_t position, std::int64_t recordCount) {
    State& state = OpenState();
    if (state.mode != State::Mode::Browse) {
        CheckBrowseMode();
    }
    Record record;
    if (!state.driver->SeekPosition(position, recordCount, record)) {
        return false;
    }
    StandOn(std::move(record));
    return true;
}

bool TableCursor::MoveBefore(const CursorBookmark& bookmark, std::int64_t back) {
    State& state = OpenState();
    if (state.mode != State::Mode::Browse) {
        CheckBrowseMode();
    }
    Record record;
    if (!state.driver->SeekBefore(bookmark.key, back, record)) {
        return false;
    }
    StandOn(std::move(record));
    return true;
}

void TableCursor::StandOn(Record&& record) {
    State& state = *state_;
    state.onAppended = false;
    // A walk that does not start at the first record is not kept.
    if (state.kept) {
        state.kept->Forget();
    }
    state.page.clear();
    state.page.push_back(std::move(record));
    state.position = 0;
    // The next page starts after this record.
    state.pageEnd = state.page.front().key;
    state.lastPage = false;
    state.atEnd = false;
}

}  // namespace rowsmith
