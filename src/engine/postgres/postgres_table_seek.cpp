// PostgresTable: starting a walk at a bookmarked record, at a position in the table's order, or a
// number of records before a bookmarked one.
#include "engine/postgres/postgres_table.h"

namespace rowsmith {

bool PostgresTable::SeekRecord(const RecordKey& key, Record& record) {
    writer_->StartWalk(*target_);
    ahead_.Clear();
    return ReadRecord(key, record);
}

bool PostgresTable::SeekPosition(std::int64_t position, std::int64_t count, Record& record) {
    writer_->StartWalk(*target_);
    ahead_.Clear();
    if (position < 0 || (count >= 0 && position >= count)) {
        return false;
    }
    // Only the key is read while skipping, which the primary key's index answers alone; from the
    // nearer end at most half the table is skipped.
    const bool fromEnd = count >= 0 && position >= count / 2;
    std::string order;
    if (ByCtid()) {
        order = fromEnd ? "ctid DESC" : "ctid";
    } else {
        for (std::size_t index : keyColumns_) {
            order += (order.empty() ? "" : ", ") + QuoteIdentifier(columns_[index].info.name) +
                     (fromEnd ? " DESC" : "");
        }
    }
    const std::int64_t skip = fromEnd ? count - 1 - position : position;
    PgResult result = writer_->Read(*target_,
                                    "SELECT " + KeyList() + " FROM " + target_->table +
                                        " ORDER BY " + order + " LIMIT 1 OFFSET $1::bigint",
                                    {std::to_string(skip)});
    if (PQntuples(result.get()) != 1) {
        return false;
    }
    return ReadRecord(KeyOf(result.get(), 0, 0), record);
}

bool PostgresTable::SeekBefore(const RecordKey& key, std::int64_t back, Record& record) {
    writer_->StartWalk(*target_);
    ahead_.Clear();
    if (back < 1) {
        return false;
    }
    // Backwards from the bookmarked record, through the primary key's index or by ctid.
    std::string order;
    std::vector<PgText> params;
    if (ByCtid()) {
        order = "ctid DESC";
    } else {
        for (std::size_t index : keyColumns_) {
            order +=
                (order.empty() ? "" : ", ") + QuoteIdentifier(columns_[index].info.name) + " DESC";
        }
    }
    for (const FieldValue& part : key.parts) {
        params.push_back(PgKeyParam(part));
    }
    params.emplace_back(std::to_string(back - 1));
    PgResult result = writer_->Read(
        *target_,
        "SELECT " + KeyList() + " FROM " + target_->table + " WHERE " + KeyCondition("<", 1) +
            " ORDER BY " + order + " LIMIT 1 OFFSET $" + std::to_string(params.size()) + "::bigint",
        params);
    if (PQntuples(result.get()) != 1) {
        return false;
    }
    return ReadRecord(KeyOf(result.get(), 0, 0), record);
}

}  // namespace rowsmith
