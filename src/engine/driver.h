// The boundary between the engine's cursors and a database driver. A driver (SQLite, PostgreSQL)
// implements Connection and TableDriver; nothing above this file knows which one it talks to.
// Cursors keep the current record and the field conversions; drivers store and fetch values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/field_type.h"
#include "engine/field_value.h"

namespace rowsmith {

struct ColumnInfo {
    std::string name;
    TFieldType type = ftUnknown;
    // Declared size of a text column in characters; 0 when it has none.
    int size = 0;
    // The type as the database declares it.
    std::string declaredType;
};

// What identifies a record again: the rowid, the primary key's values, or the ctid.
struct RecordKey {
    std::vector<FieldValue> parts;
};

struct Record {
    RecordKey key;
    std::vector<FieldValue> values;
};

// One open table. All calls may throw EDBEngineError with the database's message.
class TableDriver {
public:
    virtual ~TableDriver() = default;

    virtual const std::vector<ColumnInfo>& Columns() const = 0;

    // Up to `limit` records in the table's own order, starting after `after` (from the first
    // record when it is null). Keyset paging keeps memory flat and makes a walk that edits records
    // visit every original record once.
    virtual std::vector<Record> ReadPage(const RecordKey* after, std::size_t limit) = 0;

    // `assigned[i]` tells whether column i was written; unwritten columns get their defaults.
    virtual void Insert(const std::vector<FieldValue>& values, const std::vector<bool>& assigned) = 0;
    virtual void Update(const RecordKey& key, const std::vector<FieldValue>& values,
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
    virtual std::unique_ptr<TableDriver> OpenTable(const std::string& name, bool exclusive) = 0;

    // A fill run groups its writes into transactions (see FillRunScope). Outside a run every
    // write commits at once. EndFillRun commits what is still pending.
    virtual void BeginFillRun() = 0;
    virtual void EndFillRun() = 0;
};

}  // namespace rowsmith
