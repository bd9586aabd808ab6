#include "engine/mariadb/mariadb_table.h"

#include <algorithm>
#include <cstdlib>

#include "engine/database_errors.h"

namespace rowsmith {

namespace {

std::int64_t Position(const RecordKey& key) {
    const auto* position = key.parts.empty() ? nullptr : std::get_if<std::int64_t>(&key.parts[0]);
    return position != nullptr ? *position : 0;
}

std::string Text(const FieldValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        return std::to_string(*integer);
    }
    return "";
}

}  // namespace

MariaDbTable::MariaDbTable(std::shared_ptr<MariaWriter> writer, const std::string& name,
                           bool exclusive)
    : writer_(std::move(writer)), table_(QuoteMariaIdentifier(name)) {
    target_.name = name;
    target_.exclusive = exclusive;
    Describe();
    FindKey();
}

void MariaDbTable::Describe() {
    MariaLink& link = writer_->Settled();
    const FieldValue name = target_.name;
    std::vector<MariaRow> table = link.Query(
        "SELECT t.ENGINE, coalesce(e.TRANSACTIONS, 'YES') FROM information_schema.TABLES t "
        "LEFT JOIN information_schema.ENGINES e ON e.ENGINE = t.ENGINE "
        "WHERE t.TABLE_SCHEMA = DATABASE() AND t.TABLE_NAME = ? AND t.TABLE_TYPE = 'BASE TABLE'",
        {MariaParam{&name}});
    if (table.empty()) {
        throw EDBEngineError("Table '" + target_.name + "' doesn't exist");
    }
    target_.engine = Text(table[0][0]);
    target_.transactional = Text(table[0][1]) == "YES";

    std::vector<MariaRow> columns = link.Query(
        "SELECT COLUMN_NAME, DATA_TYPE, COLUMN_TYPE, coalesce(CHARACTER_MAXIMUM_LENGTH, 0), EXTRA, "
        "coalesce(DATETIME_PRECISION, 0) "
        "FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = ? "
        "ORDER BY ORDINAL_POSITION",
        {MariaParam{&name}});
    std::string list;
    for (const MariaRow& row : columns) {
        columns_.push_back(DescribeMariaColumn(Text(row[0]), Text(row[1]), Text(row[2]),
                                               std::atoll(Text(row[3]).c_str()), Text(row[4]),
                                               std::atoi(Text(row[5]).c_str())));
        infos_.push_back(columns_.back().info);
        list += (list.empty() ? "" : ", ") + columns_.back().selectExpr;
    }
    selectSql_ = "SELECT " + list + " FROM " + table_;
}

void MariaDbTable::FindKey() {
    const FieldValue name = target_.name;
    // The primary key first, then unique keys whose columns are all NOT NULL, by name.
    std::vector<MariaRow> parts = writer_->Settled().Query(
        "SELECT INDEX_NAME, COLUMN_NAME FROM information_schema.STATISTICS s "
        "WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = ? AND NON_UNIQUE = 0 "
        "AND NOT EXISTS (SELECT 1 FROM information_schema.STATISTICS n "
        "  WHERE n.TABLE_SCHEMA = s.TABLE_SCHEMA AND n.TABLE_NAME = s.TABLE_NAME "
        "  AND n.INDEX_NAME = s.INDEX_NAME AND n.NULLABLE = 'YES') "
        "ORDER BY INDEX_NAME <> 'PRIMARY', INDEX_NAME, SEQ_IN_INDEX",
        {MariaParam{&name}});
    std::string order;
    for (const MariaRow& part : parts) {
        if (Text(part[0]) != Text(parts[0][0])) {
            break;
        }
        const std::string column = Text(part[1]);
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            if (columns_[i].info.name == column) {
                keyColumns_.push_back(i);
                order += (order.empty() ? "" : ", ") + QuoteMariaIdentifier(column);
            }
        }
    }
    orderBy_ = " ORDER BY " + order;
}

void MariaDbTable::RequireKey() const {
    if (keyColumns_.empty()) {
        throw EDBEngineError("Table '" + target_.name +
                             "' has neither a primary key nor a unique key of NOT NULL columns, "
                             "so its records cannot be found again to be changed or deleted. "
                             "Give it a primary key");
    }
}

std::string MariaDbTable::KeyCondition(const char* op) const {
    std::string names;
    std::string marks;
    for (std::size_t column : keyColumns_) {
        names += (names.empty() ? "" : ", ") + QuoteMariaIdentifier(columns_[column].info.name);
        marks += marks.empty() ? "?" : ", ?";
    }
    return "(" + names + ") " + op + " (" + marks + ")";
}

MariaValues MariaDbTable::KeyParams(const RecordKey& key) const {
    MariaValues params;
    for (std::size_t i = 0; i < key.parts.size() && i < keyColumns_.size(); ++i) {
        params.values.push_back(key.parts[i]);
        params.binds.push_back(MariaBindOf(columns_[keyColumns_[i]]));
    }
    return params;
}

std::vector<Record> MariaDbTable::Select(const std::string& tail,
                                         const std::vector<FieldValue>& params) {
    std::vector<MariaParam> binds;
    for (std::size_t i = 0; i < params.size(); ++i) {
        binds.push_back(MariaParam{&params[i], MariaBindOf(columns_[keyColumns_[i]])});
    }
    std::vector<MariaRow> rows = writer_->Settled().Query(selectSql_ + tail, binds);
    std::vector<Record> records;
    records.reserve(rows.size());
    for (MariaRow& row : rows) {
        Record record;
        record.values.reserve(columns_.size());
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            record.values.push_back(ReadMariaValue(std::move(row[i]), columns_[i].kind));
        }
        for (std::size_t column : keyColumns_) {
            record.key.parts.push_back(record.values[column]);
        }
        records.push_back(std::move(record));
    }
    return records;
}

// A table without a key is read by position, the only order it has; its key is the position.
std::vector<Record> MariaDbTable::ReadByPosition(std::int64_t first, std::size_t limit) {
    std::vector<Record> page =
        Select(" LIMIT " + std::to_string(limit) + " OFFSET " + std::to_string(first), {});
    for (Record& record : page) {
        record.key.parts.assign(1, first++);
    }
    return page;
}

std::vector<Record> MariaDbTable::ReadPage(const RecordKey* after, std::size_t limit) {
    if (keyColumns_.empty()) {
        return ReadByPosition(after == nullptr ? 0 : Position(*after) + 1, limit);
    }
    if (after == nullptr) {
        movedKeys_.clear();
    }
    // Enough rows that the page is full even when every moved record lies within it.
    const std::string limitText = " LIMIT " + std::to_string(limit + movedKeys_.size());
    std::vector<Record> page =
        after == nullptr
            ? Select(orderBy_ + limitText, {})
            : Select(" WHERE " + KeyCondition(">") + orderBy_ + limitText, after->parts);
    if (!movedKeys_.empty()) {
        std::erase_if(
            page, [&](const Record& record) { return movedKeys_.count(record.key.parts) != 0; });
    }
    if (page.size() > limit) {
        page.resize(limit);
    }
    return page;
}

bool MariaDbTable::ReadRecord(const RecordKey& key, Record& record) {
    std::vector<Record> records = keyColumns_.empty()
                                      ? ReadByPosition(Position(key), 1)
                                      : Select(" WHERE " + KeyCondition("="), key.parts);
    if (records.empty()) {
        return false;
    }
    record = std::move(records.front());
    return true;
}

// A new walk meets the records that earlier updates moved ahead again.
bool MariaDbTable::SeekRecord(const RecordKey& key, Record& record) {
    movedKeys_.clear();
    return ReadRecord(key, record);
}

bool MariaDbTable::SeekPosition(std::int64_t position, std::int64_t count, Record& record) {
    movedKeys_.clear();
    if (position < 0) {
        return false;
    }
    std::vector<Record> records;
    if (keyColumns_.empty()) {
        records = ReadByPosition(position, 1);
    } else if (count >= 0 && position >= count / 2) {
        if (position >= count) {
            return false;
        }
        // From the end: the same order backwards.
        std::string backwards;
        for (std::size_t column : keyColumns_) {
            backwards += (backwards.empty() ? " ORDER BY " : ", ") +
                         QuoteMariaIdentifier(columns_[column].info.name) + " DESC";
        }
        records = Select(backwards + " LIMIT 1 OFFSET " + std::to_string(count - 1 - position), {});
    } else {
        records = Select(orderBy_ + " LIMIT 1 OFFSET " + std::to_string(position), {});
    }
    if (records.empty()) {
        return false;
    }
    record = std::move(records.front());
    return true;
}

void MariaDbTable::Insert(const std::vector<FieldValue>& values,
                          const std::vector<bool>& assigned) {
    if (insertSql_.empty() || assigned != insertAssigned_) {
        insertAssigned_ = assigned;
        std::string names;
        std::string marks;
        insertValues_.binds.clear();
        for (std::size_t i = 0; i < columns_.size() && i < assigned.size(); ++i) {
            if (assigned[i]) {
                names += (names.empty() ? "" : ", ") + QuoteMariaIdentifier(columns_[i].info.name);
                marks += marks.empty() ? "?" : ", ?";
                insertValues_.binds.push_back(MariaBindOf(columns_[i]));
            }
        }
        insertSql_ = names.empty()
                         ? "INSERT INTO " + table_ + " () VALUES ()"
                         : "INSERT INTO " + table_ + " (" + names + ") VALUES (" + marks + ")";
    }
    insertValues_.values.clear();
    for (std::size_t i = 0; i < columns_.size() && i < assigned.size(); ++i) {
        if (assigned[i]) {
            CheckMariaValue(columns_[i], values[i]);
            insertValues_.values.push_back(values[i]);
        }
    }
    writer_->Insert(target_, insertSql_, insertSql_.rfind('('), insertValues_);
    lastKey_.reset();
    lastKeyWantsId_ = false;
    RecordKey key;
    for (std::size_t column : keyColumns_) {
        const bool given = column < assigned.size() && assigned[column] &&
                           !std::holds_alternative<std::monostate>(values[column]);
        if (given) {
            key.parts.push_back(values[column]);
        } else if (columns_[column].info.type == ftAutoInc) {
            // Known once the row has reached the server.
            key.parts.emplace_back();
            lastKeyWantsId_ = true;
        } else {
            return;
        }
    }
    lastKey_ = std::move(key);
}

RecordKey MariaDbTable::LastInsertKey() {
    // Without a key, an appended record comes last in the table's order.
    if (keyColumns_.empty()) {
        return RecordKey{{Count() - 1}};
    }
    if (!lastKey_) {
        throw EDBEngineError("The appended record cannot be found again");
    }
    if (lastKeyWantsId_) {
        for (std::size_t i = 0; i < keyColumns_.size(); ++i) {
            if (std::holds_alternative<std::monostate>(lastKey_->parts[i])) {
                lastKey_->parts[i] = static_cast<std::int64_t>(writer_->LastInsertId());
            }
        }
        lastKeyWantsId_ = false;
    }
    return *lastKey_;
}

void MariaDbTable::Update(RecordKey& key, const std::vector<FieldValue>& values,
                          const std::vector<bool>& assigned) {
    RequireKey();
    if (std::find(assigned.begin(), assigned.end(), true) == assigned.end()) {
        return;
    }
    if (!updateForm_ || assigned != updateAssigned_) {
        updateAssigned_ = assigned;
        updateForm_ =
            MakeMariaUpdateForm(table_, columns_, keyColumns_, assigned, kMariaRowsPerStatement);
    }
    MariaValues params;
    for (std::size_t i = 0; i < columns_.size() && i < assigned.size(); ++i) {
        if (assigned[i]) {
            CheckMariaValue(columns_[i], values[i]);
            params.values.push_back(values[i]);
            params.binds.push_back(MariaBindOf(columns_[i]));
        }
    }
    MariaValues keyParams = KeyParams(key);
    params.values.insert(params.values.end(), keyParams.values.begin(), keyParams.values.end());
    params.binds.insert(params.binds.end(), keyParams.binds.begin(), keyParams.binds.end());
    const std::vector<FieldValue> before = key.parts;
    for (std::size_t i = 0; i < keyColumns_.size(); ++i) {
        const std::size_t column = keyColumns_[i];
        if (column < assigned.size() && assigned[column]) {
            key.parts[i] = values[column];
        }
    }
    try {
        writer_->Update(target_, updateForm_, params, before, key.parts);
    } catch (...) {
        key.parts = before;
        throw;
    }
    // A record moved ahead of the walk would otherwise be met a second time.
    if (key.parts != before) {
        movedKeys_.insert(key.parts);
    }
}

void MariaDbTable::Delete(const RecordKey& key) {
    RequireKey();
    writer_->Execute(target_, "DELETE FROM " + table_ + " WHERE " + KeyCondition("="),
                     KeyParams(key));
    if (writer_->Settled().AffectedRows() == 0) {
        throw EDBEngineError(kMariaRecordGone);
    }
}

void MariaDbTable::DeleteAll() {
    writer_->Execute(target_, "DELETE FROM " + table_, {});
}

std::int64_t MariaDbTable::Count() {
    std::vector<MariaRow> rows = writer_->Settled().Query("SELECT count(*) FROM " + table_);
    const auto* count = std::get_if<std::int64_t>(&rows.at(0).at(0));
    return count ? *count : -1;
}

}  // namespace rowsmith
