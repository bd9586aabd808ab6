// SqliteTable: starting a walk at a bookmarked record, at a position in the table's order, or a
// number of records before a bookmarked one.
#include "engine/sqlite/sqlite_table.h"

namespace rowsmith {

bool SqliteTable::SeekRecord(const RecordKey& key, Record& record) {
    movedKeys_.clear();
    return ReadRecord(key, record);
}

bool SqliteTable::SeekPosition(std::int64_t position, std::int64_t count, Record& record) {
    database_->WriteHeld();
    movedKeys_.clear();
    if (position < 0 || (count >= 0 && position >= count)) {
        return false;
    }
    // SQLite steps over skipped rows without reading their columns; from the nearer end it steps
    // over at most half the table.
    const bool fromEnd = count >= 0 && position >= count / 2;
    std::string order;
    if (!layout_.rowid.empty()) {
        order = layout_.rowid + (fromEnd ? " DESC" : "");
    } else {
        for (int column : layout_.keyColumns) {
            order += (order.empty() ? "" : ", ") + QuoteIdentifier(layout_.columns[column].name) +
                     (fromEnd ? " DESC" : "");
        }
    }
    SqliteStatement statement(db_, "SELECT " + selectList_ + " FROM " + quotedName_ + " ORDER BY " +
                                       order + " LIMIT 1 OFFSET ?1");
    sqlite3_bind_int64(statement.get(), 1, fromEnd ? count - 1 - position : position);
    const int rc = sqlite3_step(statement.get());
    if (rc == SQLITE_ROW) {
        ReadRow(statement.get(), pageColumns_.All(), record);
        return true;
    }
    if (rc != SQLITE_DONE) {
        Fail();
    }
    return false;
}

bool SqliteTable::SeekBefore(const RecordKey& key, std::int64_t back, Record& record) {
    database_->WriteHeld();
    movedKeys_.clear();
    if (back < 1) {
        return false;
    }
    // Backwards through the key's index from the bookmarked record.
    std::string condition;
    std::string order;
    if (!layout_.rowid.empty()) {
        condition = layout_.rowid + " < ?1";
        order = layout_.rowid + " DESC";
    } else {
        std::string placeholders;
        for (std::size_t i = 0; i < layout_.keyColumns.size(); ++i) {
            placeholders += (i == 0 ? "?" : ", ?") + std::to_string(i + 1);
            order += (i == 0 ? "" : ", ") +
                     QuoteIdentifier(layout_.columns[layout_.keyColumns[i]].name) + " DESC";
        }
        condition = "(" + KeyOrder() + ") < (" + placeholders + ")";
    }
    const int offsetParameter = static_cast<int>(key.parts.size()) + 1;
    SqliteStatement statement(db_, "SELECT " + selectList_ + " FROM " + quotedName_ + " WHERE " +
                                       condition + " ORDER BY " + order + " LIMIT 1 OFFSET ?" +
                                       std::to_string(offsetParameter));
    BindKey(statement.get(), 1, key);
    sqlite3_bind_int64(statement.get(), offsetParameter, back - 1);
    const int rc = sqlite3_step(statement.get());
    if (rc == SQLITE_ROW) {
        ReadRow(statement.get(), pageColumns_.All(), record);
        return true;
    }
    if (rc != SQLITE_DONE) {
        Fail();
    }
    return false;
}

}  // namespace rowsmith
