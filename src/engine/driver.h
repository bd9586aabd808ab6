// The boundary between the engine's cursors and a database driver. A driver (SQLite, PostgreSQL,
// MariaDB) implements Connection and TableDriver; nothing above this file knows which one it
// talks to.
// Cursors keep the current record and the field conversions; drivers store and fetch values.
//
// Values travel as FieldValue in the forms field_value.h lists for each TFieldType. Drivers
// quote every identifier and bind every value; nothing is spliced into SQL text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/field_type.h"
#include "engine/field_value.h"
#include "engine/table_constraints.h"

namespace rowsmith {

// "name" with every double quote doubled: how the SQLite and PostgreSQL drivers write a table or
// column name in SQL, safe for any name.
std::string QuoteIdentifier(const std::string& name);

// 0001-01-01 00:00:00 and 9999-12-31 23:59:59, in seconds from 1970-01-01 00:00:00.
constexpr std::int64_t kFirstCivilSecond = -62135596800;
constexpr std::int64_t kLastCivilSecond = 253402300799;

struct ColumnInfo {
    std::string name;
    TFieldType type = ftUnknown;
    // Declared size of a text column in characters; 0 when it has none.
    int size = 0;
    // An ftInteger or ftAutoInc column that holds 64 bits (BIGINT, int8, SQLite's rowid) rather
    // than 32.
    bool wide = false;
    // A wide column without a sign (BIGINT UNSIGNED): its integers are the 64-bit patterns of 0
    // to 18446744073709551615.
    bool unsignedWide = false;
    // The type as the database declares it.
    std::string declaredType;
    // Time and date-and-time columns: the digits of a second they keep, -1 for all a value has.
    int fractionDigits = -1;
    // A column of instants (PostgreSQL timestamptz, timetz): a value without a zone is UTC.
    bool zoned = false;
    // Date and date-and-time columns: the first and last moments they take, in seconds from
    // 1970-01-01 00:00:00 UTC; by default the years 1 to 9999.
    std::int64_t firstSecond = kFirstCivilSecond;
    std::int64_t lastSecond = kLastCivilSecond;
};

// What identifies a record again: the rowid, the primary key's values, or the ctid.
struct RecordKey {
    std::vector<FieldValue> parts;
};

struct Record {
    RecordKey key;
    std::vector<FieldValue> values;
};

// One open table. All calls may throw EDBEngineError with the database's message. A TableDriver
// may outlive the Connection that opened it (the session can be reset while cursors are open):
// it keeps whatever it needs of the connection alive itself.
class TableDriver {
public:
    virtual ~TableDriver() = default;

    virtual const std::vector<ColumnInfo>& Columns() const = 0;

    // Up to `limit` records in the table's own order, starting after `after` (from the first
    // record when it is null). Keyset paging keeps memory flat and makes a walk that edits records
    // visit every original record once.
    virtual std::vector<Record> ReadPage(const RecordKey* after, std::size_t limit) = 0;
    // The same page into `page`, whose records (those of an earlier page) a driver may reuse, so
    // that a long walk does not allocate every record's storage anew.
    virtual void ReadPageInto(const RecordKey* after, std::size_t limit,
                              std::vector<Record>& page) {
        page = ReadPage(after, limit);
    }
    // From now on page reads need bring only the key and the values of the columns flagged in
    // `columns` (by index); the others hold no value of their record (empty, or a value of a
    // record read before into the same storage). An empty list asks for every column again. Other
    // reads always bring every column. Returns whether page reads leave columns out: a driver may
    // go on reading every one.
    virtual bool ReadColumns(const std::vector<bool>& /*columns*/) { return false; }
    // The record with this key; false when there is none (any more).
    virtual bool ReadRecord(const RecordKey& key, Record& record) = 0;
    // Starts a new walk on the record with this key: like ReadRecord, but the records that updates
    // of the walk so far moved are met again by the pages that follow.
    virtual bool SeekRecord(const RecordKey& key, Record& record) = 0;
    // Starts a new walk on the record at `position` (from 0) in the table's own order; false when
    // the table has no record there. `count`, when not -1, is the number of records: positions in
    // the back half are then counted from the end, which is quicker to reach.
    virtual bool SeekPosition(std::int64_t position, std::int64_t count, Record& record) = 0;
    // Starts a new walk on the record `back` places (from 1) before the record with this key in
    // the table's own order: a viewer paging up gets there through the key's index rather than by
    // counting from either end. False when fewer records come before it.
    virtual bool SeekBefore(const RecordKey& key, std::int64_t back, Record& record) = 0;

    // `assigned[i]` tells whether column i was written; unwritten columns get their defaults.
    // This is the hot path of a fill: no allocation per call once the statement is prepared.
    virtual void Insert(const std::vector<FieldValue>& values,
                        const std::vector<bool>& assigned) = 0;
    // The key of the record the last Insert of this driver wrote. Asked only when a cursor works
    // on with a record it appended, so a driver may find it out late.
    virtual RecordKey LastInsertKey() = 0;
    // Writes the assigned columns of the record `key` names. When the write changes the columns
    // the key is made of, `key` is updated to the record's new key. A key that names no record
    // any more raises an error rather than writing nothing.
    virtual void Update(RecordKey& key, const std::vector<FieldValue>& values,
                        const std::vector<bool>& assigned) = 0;
    virtual void Delete(const RecordKey& key) = 0;
    virtual void DeleteAll() = 0;
    // The number of records, or -1 when the database cannot tell.
    virtual std::int64_t Count() = 0;
};

// One connection to the database behind an alias, shared by every cursor on that alias.
class Connection {
public:
    virtual ~Connection() = default;

    virtual std::vector<std::string> ListTables(bool withExtensions) = 0;
    // `exclusive` asks to keep other programs from writing the table while this one writes it.
    virtual std::unique_ptr<TableDriver> OpenTable(const std::string& name, bool exclusive) = 0;

    // A fill run groups its writes into transactions (see FillRunScope). Outside a run every
    // write commits at once. Runs may nest; the end of the outermost one commits what is still
    // pending and raises the error of a failing commit. When a write fails inside a run, every
    // write before it is committed before the error leaves the driver, and the failing one is not.
    virtual void BeginFillRun() = 0;
    virtual void EndFillRun() = 0;

    // A dry run: every write from BeginDryRun to EndDryRun, fill runs and failing writes
    // included, stays in one transaction that EndDryRun rolls back, so the database is left as it
    // was. Reads in between see those writes, as they would in a real run. The drivers here
    // implement it; one that cannot raises EDBEngineError from BeginDryRun.
    virtual void BeginDryRun();
    // The NOT NULL columns, defaults, primary and unique keys and foreign keys of a table, from
    // the database's catalog; raises EDBEngineError for a table that does not exist. Writes
    // nothing. A driver that cannot tell raises EDBEngineError.
    virtual TableConstraints ReadConstraints(const std::string& table);
    // Rolls back; raises the error of a failing rollback. Does nothing outside a dry run.
    virtual void EndDryRun() {}
};

}  // namespace rowsmith
