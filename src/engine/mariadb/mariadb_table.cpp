#include "engine/mariadb/mariadb_table.h"

#include <algorithm>

#include "engine/database_errors.h"
#include "engine/mariadb/mariadb_layout.h"

namespace rowsmith {

namespace {

std::int64_t Position(const RecordKey& key) {
    const auto* position = key.parts.empty() ? nullptr : std::get_if<std::int64_t>(&key.parts[0]);
    return position != nullptr ? *position : 0;
}

// Records a walk reads at once in a fill run: as many as the updates of one set.
constexpr std::size_t kReadAhead = kMariaUpdateSetRows;

}  // namespace

MariaDbTable::MariaDbTable(std::shared_ptr<MariaWriter> writer, const std::string& name,
                           bool exclusive)
    : writer_(std::move(writer)), table_(QuoteMariaIdentifier(name)) {
    MariaLayout layout = ReadMariaLayout(writer_->Settled(), name);
    target_.name = name;
    target_.engine = std::move(layout.engine);
    target_.transactional = layout.transactional;
    target_.exclusive = exclusive;
    columns_ = std::move(layout.columns);
    keyColumns_ = std::move(layout.keyColumns);
    for (const MariaColumn& column : columns_) {
        infos_.push_back(column.info);
    }
    // The key comes from its columns.
    pageColumns_ = PageColumns(columns_.size(), keyColumns_);
    selectSql_ = SelectSql(pageColumns_.All());
    pageSql_ = selectSql_;
    for (std::size_t column : keyColumns_) {
        orderBy_ += (orderBy_.empty() ? " ORDER BY " : ", ") +
                    QuoteMariaIdentifier(columns_[column].info.name);
    }
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

std::string MariaDbTable::SelectSql(const std::vector<std::size_t>& columns) const {
    std::string list;
    for (std::size_t column : columns) {
        list += (list.empty() ? "" : ", ") + columns_[column].selectExpr;
    }
    return "SELECT " + list + " FROM " + table_;
}

bool MariaDbTable::ReadColumns(const std::vector<bool>& columns) {
    if (keyColumns_.empty()) {
        return false;
    }
    // Records read ahead without a column now asked for are read again.
    if (pageColumns_.Ask(columns)) {
        ahead_.Clear();
    }
    pageSql_ = SelectSql(pageColumns_.Read());
    return pageColumns_.Narrow();
}

std::vector<Record> MariaDbTable::Select(const std::string& tail,
                                         const std::vector<FieldValue>& params) {
    return SelectColumns(selectSql_, pageColumns_.All(), tail, params);
}

std::vector<Record> MariaDbTable::SelectColumns(const std::string& select,
                                                const std::vector<std::size_t>& columns,
                                                const std::string& tail,
                                                const std::vector<FieldValue>& params) {
    std::vector<MariaParam> binds;
    for (std::size_t i = 0; i < params.size(); ++i) {
        binds.push_back(MariaParam{&params[i], MariaBindOf(columns_[keyColumns_[i]])});
    }
    std::vector<MariaRow> rows = writer_->Settled().Query(select + tail, binds);
    std::vector<Record> records;
    records.reserve(rows.size());
    for (MariaRow& row : rows) {
        Record record;
        record.values.resize(columns_.size());
        for (std::size_t i = 0; i < columns.size(); ++i) {
            record.values[columns[i]] =
                ReadMariaValue(std::move(row[i]), columns_[columns[i]].kind);
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
    return ahead_.Page(
        after, limit, writer_->InRun() ? kReadAhead : 0,
        [this](const RecordKey* from, std::size_t count) { return QueryPage(from, count); });
}

std::vector<Record> MariaDbTable::QueryPage(const RecordKey* after, std::size_t limit) {
    // Enough rows that the page is full even when every moved record lies within it.
    const std::string limitText = " LIMIT " + std::to_string(limit + movedKeys_.size());
    std::vector<Record> page =
        after == nullptr
            ? SelectColumns(pageSql_, pageColumns_.Read(), orderBy_ + limitText, {})
            : SelectColumns(pageSql_, pageColumns_.Read(),
                            " WHERE " + KeyCondition(">") + orderBy_ + limitText, after->parts);
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

std::int64_t MariaDbTable::Count() {
    std::vector<MariaRow> rows = writer_->Settled().Query("SELECT count(*) FROM " + table_);
    const auto* count = std::get_if<std::int64_t>(&rows.at(0).at(0));
    return count ? *count : -1;
}

}  // namespace rowsmith
