// MariaDbTable: one table of a MariaDB database behind the driver boundary. Records are walked in
// primary-key order, else in the order of a unique key of not-null columns, a page at a time; a
// table with neither is read by position, but refused for changes and deletions: nothing could
// find one of its records again for certain. A
// record whose key an update moved ahead of the walk is not met a second time.
#pragma once

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/driver.h"
#include "engine/mariadb/mariadb_column.h"
#include "engine/mariadb/mariadb_update_form.h"
#include "engine/mariadb/mariadb_writer.h"
#include "engine/page_columns.h"
#include "engine/read_ahead.h"

namespace rowsmith {

class MariaDbTable : public TableDriver {
public:
    // Raises EDBEngineError when the database has no such table. An `exclusive` table is written
    // by one fill at a time.
    MariaDbTable(std::shared_ptr<MariaWriter> writer, const std::string& name, bool exclusive);

    const std::vector<ColumnInfo>& Columns() const override { return infos_; }
    std::vector<Record> ReadPage(const RecordKey* after, std::size_t limit) override;
    // Page reads of a table with a key bring the key and these columns; the others read as
    // empty. A table without one is read whole.
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
    // Raises the refusal of a table without a key to walk by.
    void RequireKey() const;
    // "(k1, k2) op (?, ?)" on the key columns.
    std::string KeyCondition(const char* op) const;
    std::vector<Record> ReadByPosition(std::int64_t first, std::size_t limit);
    // The page after `after` (from the start for none) read from the server, skipping the
    // records the walk moved ahead.
    std::vector<Record> QueryPage(const RecordKey* after, std::size_t limit);
    // Records of every column; `params` are key values.
    std::vector<Record> Select(const std::string& tail, const std::vector<FieldValue>& params);
    // Records of the SELECT `select` of `columns` (SelectSql), the others read as empty.
    std::vector<Record> SelectColumns(const std::string& select,
                                      const std::vector<std::size_t>& columns,
                                      const std::string& tail,
                                      const std::vector<FieldValue>& params);
    // "SELECT columns FROM table".
    std::string SelectSql(const std::vector<std::size_t>& columns) const;
    MariaValues KeyParams(const RecordKey& key) const;

    std::shared_ptr<MariaWriter> writer_;
    MariaTarget target_;
    std::string table_;
    std::vector<MariaColumn> columns_;
    std::vector<ColumnInfo> infos_;
    // Positions of the walking key's columns; empty when the table has no such key.
    std::vector<std::size_t> keyColumns_;
    // The columns page reads bring, and the SELECTs of every column and of those.
    PageColumns pageColumns_{0, {}};
    std::string selectSql_;
    std::string pageSql_;
    std::string orderBy_;
    // The column list of the last Insert, rebuilt only when other columns are assigned.
    std::vector<bool> insertAssigned_;
    std::string insertSql_;
    MariaValues insertValues_;
    // The form of the last Update, made again only when other columns are assigned.
    std::vector<bool> updateAssigned_;
    std::shared_ptr<MariaUpdateForm> updateForm_;
    std::optional<RecordKey> lastKey_;
    // The AUTO_INCREMENT part of lastKey_ is still to be asked for.
    bool lastKeyWantsId_ = false;
    // Keys that updates of the current walk gave records; the walk's later pages skip them.
    std::set<std::vector<FieldValue>> movedKeys_;
    // In a fill run a walk by key reads a set's worth of records at once.
    ReadAhead ahead_;
};

}  // namespace rowsmith
