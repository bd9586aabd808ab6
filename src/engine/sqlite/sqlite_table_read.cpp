// SqliteTable: reading records, page by page along the walk or one by key, with every column or
// with those a walk asks for.
#include "engine/sqlite/sqlite_table.h"

#include <string>
#include <variant>
#include <vector>

namespace rowsmith {

namespace {

// Text into `value`, in the string it holds already where it holds one.
void AssignText(FieldValue& value, const char* text, int length) {
    if (auto* stored = std::get_if<std::string>(&value)) {
        stored->assign(text, static_cast<std::size_t>(length));
    } else {
        value.emplace<std::string>(text, static_cast<std::size_t>(length));
    }
}

void ReadValue(sqlite3_stmt* statement, int column, FieldValue& value) {
    switch (sqlite3_column_type(statement, column)) {
        case SQLITE_INTEGER:
            value = static_cast<std::int64_t>(sqlite3_column_int64(statement, column));
            break;
        case SQLITE_FLOAT:
            value = sqlite3_column_double(statement, column);
            break;
        case SQLITE_NULL:
            value = std::monostate();
            break;
        case SQLITE_BLOB: {
            const void* bytes = sqlite3_column_blob(statement, column);
            AssignText(value, bytes != nullptr ? static_cast<const char*>(bytes) : "",
                       sqlite3_column_bytes(statement, column));
            break;
        }
        default: {
            const auto* text =
                reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
            AssignText(value, text != nullptr ? text : "", sqlite3_column_bytes(statement, column));
            break;
        }
    }
}

}  // namespace

std::string SqliteTable::SelectList(const std::vector<std::size_t>& columns) const {
    std::string list = layout_.rowid;
    for (std::size_t column : columns) {
        list += (list.empty() ? "" : ", ") + QuoteIdentifier(layout_.columns[column].name);
    }
    return list;
}

bool SqliteTable::ReadColumns(const std::vector<bool>& columns) {
    pageColumns_.Ask(columns);
    pageList_ = SelectList(pageColumns_.Read());
    firstPage_ = SqliteStatement();
    nextPage_ = SqliteStatement();
    return pageColumns_.Narrow();
}

void SqliteTable::ReadRow(sqlite3_stmt* statement, const std::vector<std::size_t>& columns,
                          Record& record) const {
    const int first = layout_.rowid.empty() ? 0 : 1;
    record.values.resize(layout_.columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) {
        ReadValue(statement, first + static_cast<int>(i), record.values[columns[i]]);
    }
    if (first == 1) {
        const std::int64_t rowid = sqlite3_column_int64(statement, 0);
        if (record.key.parts.size() == 1) {
            record.key.parts[0] = rowid;
        } else {
            record.key.parts.assign(1, rowid);
        }
    } else {
        record.key.parts.clear();
        for (int column : layout_.keyColumns) {
            record.key.parts.push_back(record.values[column]);
        }
    }
}

std::vector<Record> SqliteTable::ReadPage(const RecordKey* after, std::size_t limit) {
    std::vector<Record> page;
    ReadPageInto(after, limit, page);
    return page;
}

void SqliteTable::ReadPageInto(const RecordKey* after, std::size_t limit,
                               std::vector<Record>& page) {
    database_->WriteHeld();
    SqliteStatement& cached = after == nullptr ? firstPage_ : nextPage_;
    if (!cached) {
        std::string sql = "SELECT " + pageList_ + " FROM " + quotedName_;
        int limitParameter = 1;
        if (after != nullptr) {
            if (!layout_.rowid.empty()) {
                sql += " WHERE " + layout_.rowid + " > ?1";
                limitParameter = 2;
            } else {
                // Row values compare the key columns in order, as ORDER BY sorts them.
                std::string placeholders;
                for (std::size_t i = 0; i < layout_.keyColumns.size(); ++i) {
                    placeholders += (i == 0 ? "?" : ", ?") + std::to_string(i + 1);
                }
                sql += " WHERE (" + KeyOrder() + ") > (" + placeholders + ")";
                limitParameter = static_cast<int>(layout_.keyColumns.size()) + 1;
            }
        }
        sql += " ORDER BY " + KeyOrder() + " LIMIT ?" + std::to_string(limitParameter);
        cached = SqliteStatement(db_, sql);
    }
    sqlite3_stmt* statement = cached.get();
    int parameter = 1;
    if (after != nullptr) {
        BindKey(statement, 1, *after);
        parameter += static_cast<int>(after->parts.size());
    } else {
        movedKeys_.clear();
    }
    // Enough rows that the page is full even when every moved record lies within it.
    sqlite3_bind_int64(statement, parameter, static_cast<sqlite3_int64>(limit + movedKeys_.size()));

    page.reserve(limit);
    std::size_t count = 0;
    int rc = SQLITE_DONE;
    while (count < limit && (rc = sqlite3_step(statement)) == SQLITE_ROW) {
        if (count == page.size()) {
            page.emplace_back();
        }
        ReadRow(statement, pageColumns_.Read(), page[count]);
        if (movedKeys_.count(page[count].key.parts) == 0) {
            ++count;
        }
    }
    sqlite3_reset(statement);
    page.resize(count);
    if (count < limit && rc != SQLITE_DONE) {
        Fail();
    }
}

bool SqliteTable::ReadRecord(const RecordKey& key, Record& record) {
    database_->WriteHeld();
    if (!readRecord_) {
        readRecord_ = SqliteStatement(
            db_, "SELECT " + selectList_ + " FROM " + quotedName_ + " WHERE " + KeyCondition(1));
    }
    sqlite3_stmt* statement = readRecord_.get();
    BindKey(statement, 1, key);
    const int rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW) {
        ReadRow(statement, pageColumns_.All(), record);
    }
    sqlite3_reset(statement);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        Fail();
    }
    return rc == SQLITE_ROW;
}

}  // namespace rowsmith
