#include "engine/mariadb/mariadb_update_form.h"

#include <algorithm>
#include <atomic>

#include "engine/mariadb/mariadb_link.h"

namespace rowsmith {

namespace {

// The MEMORY engine fills and empties the temporary table several times faster than InnoDB, but
// takes no TEXT or BLOB columns and holds only so much: the largest row in bytes, or 0 when a
// column cannot go into it.
std::size_t MemoryRowBytes(const MariaColumn& column) {
    constexpr std::size_t kFixedBytes = 16;
    const std::string& type = column.info.declaredType;
    const bool listed = type.rfind("enum(", 0) == 0 || type.rfind("set(", 0) == 0;
    if (column.kind != MariaKind::Text || listed || column.info.type == ftDate ||
        column.info.type == ftTime || column.info.type == ftDateTime) {
        return column.kind == MariaKind::Bytes ? 0 : kFixedBytes;
    }
    const bool characters = type.rfind("char(", 0) == 0 || type.rfind("varchar(", 0) == 0;
    // Four bytes a character in utf8mb4, and the length.
    return characters ? 4 * static_cast<std::size_t>(column.info.size) + 2 : 0;
}

class MariaUpdateDialect final : public UpdateDialect {
public:
    MariaUpdateDialect(std::string scratch, bool memory, bool indexed)
        : scratch_(std::move(scratch)), memory_(memory), indexed_(indexed) {}

    // The values come first, as in the single-record UPDATE, whose placeholders cannot be
    // numbered.
    bool KeysFirst() const override { return false; }
    std::string Scratch() const override { return scratch_; }
    std::string Mark(std::size_t, const std::string&) const override { return "?"; }
    std::string SetTarget(const std::string& column) const override { return "t." + column; }
    // What Spell made of MariaUpdateForm::applyInRange.
    const std::string& InRange() const { return inRange_; }
    UpdateForm Spell(const UpdateParts& parts) const override {
        UpdateForm form;
        form.create = "CREATE TEMPORARY TABLE " + parts.scratch + (indexed_ ? " (KEY (k1))" : "") +
                      (memory_ ? " ENGINE=MEMORY" : " ENGINE=InnoDB") + " SELECT " + parts.select +
                      " FROM " + parts.table + " t LIMIT 0";
        form.clear = "DELETE FROM " + parts.scratch;
        form.fill = "INSERT INTO " + parts.scratch + " (" + parts.names + ") VALUES ";
        form.valuesAt = form.fill.size();
        form.fill += "(" + parts.marks + ")";
        // The temporary table first, whatever the statistics say: a walk of the table instead
        // would lock every record of it, which other connections may be writing.
        const std::string join =
            "UPDATE " + parts.scratch + " s STRAIGHT_JOIN " + parts.table + " t ON " + parts.join;
        form.apply = join + " SET " + parts.sets;
        form.applyKeepingKeys =
            parts.keptSets.empty() ? form.apply : join + " SET " + parts.keptSets;
        form.single =
            "UPDATE " + parts.table + " SET " + parts.singleSets + " WHERE " + parts.singleKey;
        if (indexed_ && !parts.keptSets.empty()) {
            inRange_ = "UPDATE " + parts.table + " t STRAIGHT_JOIN " + parts.scratch + " s ON " +
                       parts.join + " SET " + parts.keptSets + " WHERE " + parts.leadKey +
                       " BETWEEN ";
        }
        return form;
    }

private:
    std::string scratch_;
    bool memory_;
    bool indexed_;
    mutable std::string inRange_;
};

}  // namespace

std::shared_ptr<MariaUpdateForm> MakeMariaUpdateForm(const std::string& table,
                                                     const std::vector<MariaColumn>& columns,
                                                     const std::vector<std::size_t>& keyColumns,
                                                     const std::vector<bool>& assigned,
                                                     std::size_t rowsAtOnce) {
    // Half the server's default max_heap_table_size.
    constexpr std::size_t kMemoryTableBytes = 8u << 20;
    // Temporary tables live per connection; a number tells the forms of one connection apart.
    static std::atomic<unsigned> serial{0};
    std::size_t rowBytes = 0;
    bool memory = true;
    const auto add = [&](const MariaColumn& column) {
        const std::size_t bytes = MemoryRowBytes(column);
        memory = memory && bytes > 0;
        rowBytes += bytes;
        return QuoteMariaIdentifier(column.info.name);
    };
    std::vector<UpdateColumn> written;
    for (std::size_t i = 0; i < columns.size() && i < assigned.size(); ++i) {
        if (assigned[i]) {
            const bool key = std::find(keyColumns.begin(), keyColumns.end(), i) != keyColumns.end();
            written.push_back(UpdateColumn{add(columns[i]), "", key});
        }
    }
    std::vector<UpdateColumn> keys;
    for (std::size_t column : keyColumns) {
        keys.push_back(UpdateColumn{add(columns[column]), "", true});
    }
    // MariaDB writes on the fly only the first table of a joined UPDATE, and sets the records of
    // any other aside first. A set whose keys lie in a range can walk that range of the table
    // first and find each record's row in the temporary table by its index, which takes about
    // half the time; the range keeps the walk off the records of other connections. BIGINT
    // UNSIGNED keys past 2^63 would be written as negative bounds, so they are left out.
    const MariaColumn* key = keyColumns.size() == 1 ? &columns[keyColumns[0]] : nullptr;
    const bool ranged =
        key != nullptr && key->kind == MariaKind::Integer && !key->info.unsignedWide;
    const MariaUpdateDialect dialect(
        QuoteMariaIdentifier("rowsmith update " + std::to_string(++serial)),
        memory && rowBytes * rowsAtOnce <= kMemoryTableBytes, ranged);
    auto form = std::make_shared<MariaUpdateForm>();
    static_cast<UpdateForm&>(*form) = MakeUpdateForm(dialect, table, keys, written);
    form->applyInRange = dialect.InRange();
    return form;
}

}  // namespace rowsmith
