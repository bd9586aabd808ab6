// PostgresTable: starting a walk at a bookmarked record or at a position in the table's order.
#include "engine/postgres/postgres_table.h"

namespace rowsmith {

bool PostgresTable::SeekRecord(const RecordKey& key, Record& record) {
    writer_->CommitIfWrote(*target_);
    target_->walkXids.clear();
    ahead_.clear();
    return ReadRecord(key, record);
}

bool PostgresTable::SeekPosition(std::int64_t position, std::int64_t count, Record& record) {
    writer_->CommitIfWrote(*target_);
    target_->walkXids.clear();
    ahead_.clear();
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
    PgResult result =
        writer_->ReadLink(*target_).Query("SELECT " + KeyList() + " FROM " + target_->table +
                                              " ORDER BY " + order + " LIMIT 1 OFFSET $1::bigint",
                                          {std::to_string(skip)});
    if (PQntuples(result.get()) != 1) {
        return false;
    }
    return ReadRecord(KeyOf(result.get(), 0, 0), record);
}

}  // namespace rowsmith
