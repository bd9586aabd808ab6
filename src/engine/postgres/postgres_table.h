// PostgresTable: one table of a PostgreSQL schema behind the driver boundary. Records are walked
// in primary-key order, or by ctid where the table has no primary key, a page at a time; a walk
// skips the row versions its own updates wrote (an UPDATE gives the row a new ctid and, keyed by
// anything, could bring it round again), so each original record is visited once.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/driver.h"
#include "engine/page_columns.h"
#include "engine/postgres/pg_column.h"
#include "engine/postgres/pg_writer.h"
#include "engine/read_ahead.h"

namespace rowsmith {

class PostgresTable : public TableDriver {
public:
    // Raises EDBEngineError when the schema has no such table, or when it is a partitioned table
    // without a primary key, which no walk can tell its records apart in.
    PostgresTable(std::shared_ptr<PgWriter> writer, const std::string& schema,
                  const std::string& name, bool exclusive);

    const std::vector<ColumnInfo>& Columns() const override { return infos_; }
    std::vector<Record> ReadPage(const RecordKey* after, std::size_t limit) override;
    // Page reads bring the key and these columns; the others read as empty.
    bool ReadColumns(const std::vector<bool>& columns) override;
    bool ReadRecord(const RecordKey& key, Record& record) override;
    bool SeekRecord(const RecordKey& key, Record& record) override;
    bool SeekPosition(std::int64_t position, std::int64_t count, Record& record) override;
    bool SeekBefore(const RecordKey& key, std::int64_t back, Record& record) override;
    void Insert(const std::vector<FieldValue>& values, const std::vector<bool>& assigned) override;
    RecordKey LastInsertKey() override;
    void Update(RecordKey& key, const std::vector<FieldValue>& values,
                const std::vector<bool>& assigned) override;
    void Delete(const RecordKey& key) override;
    void DeleteAll() override;
    std::int64_t Count() override;

private:
    void Describe(const std::string& schema, const std::string& name);
    bool ByCtid() const { return keyColumns_.empty(); }
    // "WHERE"-less condition on the key, its parameters numbered from `first`.
    std::string KeyCondition(const char* op, std::size_t first) const;
    std::string KeyList() const;
    void AddWalkFilter(std::string& sql, std::vector<PgText>& params) const;
    std::vector<Record> ReadPageByKey(const RecordKey* after, std::size_t limit);
    std::vector<Record> QueryPageByKey(const RecordKey* after, std::size_t limit);
    std::vector<Record> ReadPageByCtid(const RecordKey* after, std::size_t limit);
    long RelationBlocks();
    // The rows of a SELECT of SelectList(columns) as records; the columns not among `columns`
    // read as empty.
    void AppendRecords(const PGresult* result, const std::vector<std::size_t>& columns,
                       std::vector<Record>& records) const;
    // The key and the columns named, for a SELECT.
    std::string SelectList(const std::vector<std::size_t>& columns) const;
    RecordKey KeyOf(const PGresult* result, int row, int firstColumn) const;
    void UseColumns(const std::vector<bool>& assigned);
    void UpdateInRun(RecordKey& key, const std::vector<FieldValue>& values,
                     const std::vector<bool>& assigned);

    std::shared_ptr<PgWriter> writer_;
    std::shared_ptr<PgTarget> target_;
    std::string oid_;
    std::vector<PgColumn> columns_;
    std::vector<ColumnInfo> infos_;
    // Positions of the primary key's columns; empty when the walk goes by ctid.
    std::vector<std::size_t> keyColumns_;
    // The columns page reads bring; the key leads every SELECT list of its own.
    PageColumns pageColumns_{0, {}};
    // "key columns, all columns" as SELECT lists them, the same for page reads, and
    // " RETURNING key columns".
    std::string selectList_;
    std::string pageList_;
    std::string returningKey_;

    // The column list of the last Insert, rebuilt only when other columns are assigned.
    std::vector<bool> insertAssigned_;
    std::string insertColumns_;
    // The COPY line of the record being written, reused from record to record.
    std::string line_;
    std::optional<RecordKey> lastKey_;
    // The batched form of the last update in a run, rebuilt only when other columns are assigned.
    std::vector<bool> updateAssigned_;
    std::shared_ptr<const UpdateForm> updateForm_;
    std::string oldKey_;
    std::string newKey_;
    // In a fill run a walk by key reads a batch's worth of records at once.
    ReadAhead ahead_;
};

}  // namespace rowsmith
