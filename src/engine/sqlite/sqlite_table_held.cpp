// SqliteTable: the records a fill run holds back and inserts several in one statement.
#include "engine/sqlite/sqlite_table.h"

#include <string>
#include <utility>

#include "engine/database_errors.h"

namespace rowsmith {

void SqliteTable::Hold(const WriteStatement& write, const std::vector<FieldValue>& values) {
    if (heldCount_ == 0) {
        database_->Hold(this);
        // The first record begins the transaction, as a record written at once would: waiting
        // for another program's lock happens here, not records later.
        database_->BeforeWrite(name_);
        if (held_.size() < write.heldRecords) {
            held_.resize(write.heldRecords, std::vector<FieldValue>(layout_.columns.size()));
        }
    }
    std::vector<FieldValue>& record = held_[heldCount_++];
    for (int column : write.columns) {
        record[column] = values[column];
    }
    if (heldCount_ == write.heldRecords) {
        WriteHeld();
    }
}

void SqliteTable::WriteHeld() {
    const std::size_t count = std::exchange(heldCount_, 0);
    database_->Release(this);
    if (count == 0) {
        return;
    }
    WriteStatement& write = inserts_[lastInsert_];
    if (count == write.heldRecords && WriteHeldTogether(write)) {
        return;
    }
    // Fewer than a statement takes (the run ended, or a read came first), or a group SQLite
    // refused: a record at a time, in the order posted. A refused record stops the rest, and the
    // records before it are committed.
    sqlite3_stmt* statement = write.statement.get();
    for (std::size_t i = 0; i < count; ++i) {
        BindRecord(statement, 1, write, held_[i]);
        RunWrite(statement);
    }
    if (!layout_.rowid.empty()) {
        lastRowid_ = sqlite3_last_insert_rowid(db_);
    }
}

bool SqliteTable::WriteHeldTogether(WriteStatement& write) {
    if (!write.heldStatement) {
        write.heldStatement = SqliteStatement(db_, InsertSql(write.columns, write.heldRecords));
    }
    sqlite3_stmt* statement = write.heldStatement.get();
    try {
        int parameter = 1;
        for (std::size_t i = 0; i < write.heldRecords; ++i) {
            parameter = BindRecord(statement, parameter, write, held_[i]);
        }
    } catch (const EDBEngineError&) {
        // A value SQLite will not take (one past its size limit): alone, it fails as its record.
        return false;
    }
    database_->BeforeWrite(name_);
    const int rc = sqlite3_step(statement);
    if (rc != SQLITE_DONE) {
        // A refused statement takes back its own records. When SQLite ended the whole
        // transaction as well (a full disk), there is nothing to write again.
        if (sqlite3_get_autocommit(db_) != 0) {
            FailWrite(statement, rc);
        }
        sqlite3_reset(statement);
        return false;
    }
    sqlite3_reset(statement);
    database_->AfterWrite(static_cast<int>(write.heldRecords));
    if (!layout_.rowid.empty()) {
        lastRowid_ = sqlite3_last_insert_rowid(db_);
    }
    return true;
}

}  // namespace rowsmith
