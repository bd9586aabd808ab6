// SqliteTable: the SQLite driver's TableDriver for one table. Records are identified by the
// rowid, or by the primary key of a WITHOUT ROWID table, and walked in that order page by page;
// a record whose key an update moved ahead of the walk is not met a second time.
// Insert and update statements are prepared once per set of written columns and reused, so
// appending a record costs one bind per value and one step. Inside a fill run, appended records
// are held back and sent kHeldRecords at a time in one statement, which costs SQLite far less
// per record; a held group that SQLite refuses is written again record by record, so that those
// before the refused one are kept and its own error is raised.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/driver.h"
#include "engine/page_columns.h"
#include "engine/sqlite/sqlite_database.h"
#include "engine/sqlite/sqlite_layout.h"
#include "engine/sqlite/sqlite_statement.h"

namespace rowsmith {

class SqliteTable : public TableDriver, private SqliteDatabase::InsertHolder {
public:
    // The most records one statement inserts; fewer when their values pass SQLite's limit of
    // parameters.
    static constexpr std::size_t kHeldRecords = 64;

    // Throws EDBEngineError ("no such table: ...") when the database has no such table.
    SqliteTable(std::shared_ptr<SqliteDatabase> database, const std::string& name);
    // Writes the records still held; their error, if any, is lost.
    ~SqliteTable() override;
    SqliteTable(const SqliteTable&) = delete;
    SqliteTable& operator=(const SqliteTable&) = delete;

    const std::vector<ColumnInfo>& Columns() const override { return layout_.columns; }
    std::vector<Record> ReadPage(const RecordKey* after, std::size_t limit) override;
    void ReadPageInto(const RecordKey* after, std::size_t limit,
                      std::vector<Record>& page) override;
    bool ReadRecord(const RecordKey& key, Record& record) override;
    bool SeekRecord(const RecordKey& key, Record& record) override;
    bool SeekPosition(std::int64_t position, std::int64_t count, Record& record) override;
    bool SeekBefore(const RecordKey& key, std::int64_t back, Record& record) override;
    void Insert(const std::vector<FieldValue>& values, const std::vector<bool>& assigned) override;
    RecordKey LastInsertKey() override;
    void Update(RecordKey& key, const std::vector<FieldValue>& values,
                const std::vector<bool>& assigned) override;
    // Page reads bring the key and these columns; the others keep what the reused records held.
    bool ReadColumns(const std::vector<bool>& columns) override;
    void Delete(const RecordKey& key) override;
    void DeleteAll() override;
    std::int64_t Count() override;

private:
    struct WriteStatement {
        std::vector<bool> assigned;
        // The first 64 entries of `assigned` as bits: for most tables the whole of it, and
        // quicker to compare on every insert.
        std::uint64_t bits = 0;
        // The written columns in parameter order.
        std::vector<int> columns;
        SqliteStatement statement;
        // Inserts only: how many records the statement for held records writes (1: none are
        // held), and that statement, prepared when first used.
        std::size_t heldRecords = 1;
        SqliteStatement heldStatement;

        // Whether this statement writes the columns `assigned` names; `bits` are its first 64.
        bool Writes(std::uint64_t bits, const std::vector<bool>& assigned) const;
    };

    // The cached statement for the written columns, prepared when there is none yet.
    WriteStatement& InsertStatement(const std::vector<bool>& assigned, std::uint64_t bits);
    // INSERT of `records` records into `columns` (by index), or of the defaults for none.
    std::string InsertSql(const std::vector<int>& columns, std::size_t records) const;
    WriteStatement& UpdateStatement(const std::vector<bool>& assigned);
    // "rowid = ?N" or the primary key's columns, parameters numbered from `first`.
    std::string KeyCondition(int first) const;
    std::string KeyOrder() const;
    void BindKey(sqlite3_stmt* statement, int first, const RecordKey& key) const;
    void BindValue(sqlite3_stmt* statement, int parameter, const FieldValue& value,
                   bool blob) const;
    // The rowid, when the table has one, and `columns` (by index), for a SELECT.
    std::string SelectList(const std::vector<std::size_t>& columns) const;
    // Reads the row the statement stands on, selected by SelectList(columns), into the storage
    // `record` holds: the columns not among them keep what it held (empty in a new record).
    void ReadRow(sqlite3_stmt* statement, const std::vector<std::size_t>& columns,
                 Record& record) const;
    // Binds the written columns of `values` from parameter `first` on; returns the next one.
    int BindRecord(sqlite3_stmt* statement, int first, const WriteStatement& write,
                   const std::vector<FieldValue>& values) const;
    // Steps a write to its end between the database's write bookkeeping.
    void RunWrite(sqlite3_stmt* statement);
    // Raises the error of a write SQLite refused with `rc`.
    [[noreturn]] void FailWrite(sqlite3_stmt* statement, int rc);
    // Keeps the record to insert it with the others held for `write`, the last insert statement.
    void Hold(const WriteStatement& write, const std::vector<FieldValue>& values);
    void WriteHeld() override;
    // The held records in one statement. False, having written none, when SQLite refused it and
    // the transaction goes on, so that they can be written one at a time.
    bool WriteHeldTogether(WriteStatement& write);
    [[noreturn]] void Fail() const;

    std::shared_ptr<SqliteDatabase> database_;
    sqlite3* db_;
    std::string name_;
    std::string quotedName_;
    const SqliteLayout layout_;
    // Whether each column keeps bytes: bytes rather than bits, as every value bound looks here.
    std::vector<char> blobColumns_;
    // The columns page reads bring; a table without a rowid reads its key from its key columns.
    PageColumns pageColumns_;
    std::string selectList_;
    std::string pageList_;

    SqliteStatement firstPage_;
    SqliteStatement nextPage_;
    SqliteStatement readRecord_;
    SqliteStatement delete_;
    std::vector<WriteStatement> inserts_;
    std::vector<WriteStatement> updates_;
    // The columns an update writes: those assigned but key columns that keep their value.
    std::vector<bool> written_;
    // The insert statement used last; records are held for it alone.
    std::size_t lastInsert_ = 0;
    // The records held back for inserts_[lastInsert_], and how many there are: the storage of the
    // earlier ones is reused.
    std::vector<std::vector<FieldValue>> held_;
    std::size_t heldCount_ = 0;
    std::int64_t lastRowid_ = 0;
    RecordKey lastKey_;
    // The keys that updates gave records since the walk began; later pages skip them.
    std::set<std::vector<FieldValue>> movedKeys_;
};

}  // namespace rowsmith
