// MariaDbTable: starting a walk at a bookmarked record, at a position in the table's order, or a
// number of records before a bookmarked one.
#include "engine/mariadb/mariadb_table.h"

namespace rowsmith {

// A new walk meets the records that earlier updates moved ahead again.
bool MariaDbTable::SeekRecord(const RecordKey& key, Record& record) {
    movedKeys_.clear();
    ahead_.Clear();
    return ReadRecord(key, record);
}

bool MariaDbTable::SeekPosition(std::int64_t position, std::int64_t count, Record& record) {
    movedKeys_.clear();
    ahead_.Clear();
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

bool MariaDbTable::SeekBefore(const RecordKey& key, std::int64_t back, Record& record) {
    movedKeys_.clear();
    ahead_.Clear();
    if (back < 1) {
        return false;
    }
    std::vector<Record> records;
    if (keyColumns_.empty()) {
        // The key of a table without one is its position.
        const auto* position =
            key.parts.empty() ? nullptr : std::get_if<std::int64_t>(&key.parts[0]);
        if (position == nullptr || *position < back) {
            return false;
        }
        records = ReadByPosition(*position - back, 1);
    } else {
        std::string backwards;
        for (std::size_t column : keyColumns_) {
            backwards += (backwards.empty() ? " ORDER BY " : ", ") +
                         QuoteMariaIdentifier(columns_[column].info.name) + " DESC";
        }
        records = Select(" WHERE " + KeyCondition("<") + backwards + " LIMIT 1 OFFSET " +
                             std::to_string(back - 1),
                         key.parts);
    }
    if (records.empty()) {
        return false;
    }
    record = std::move(records.front());
    return true;
}

}  // namespace rowsmith
