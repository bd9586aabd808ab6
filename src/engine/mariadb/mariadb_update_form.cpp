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
    const std::string scratch = QuoteMariaIdentifier("rowsmith update " + std::to_string(++serial));
    std::string selects;
    std::string names;
    std::string marks;
    std::string sets;
    std::string keptSets;
    std::string singleSets;
    std::size_t rowBytes = 0;
    bool memory = true;
    const auto add = [&](const MariaColumn& source, const std::string& as) {
        const std::size_t bytes = MemoryRowBytes(source);
        memory = memory && bytes > 0;
        rowBytes += bytes;
        const std::string& column = source.info.name;
        selects += (selects.empty() ? "" : ", ") + QuoteMariaIdentifier(column) + " AS " + as;
        names += (names.empty() ? "" : ", ") + as;
        marks += marks.empty() ? "?" : ", ?";
    };
    for (std::size_t i = 0; i < columns.size() && i < assigned.size(); ++i) {
        if (!assigned[i]) {
            continue;
        }
        const std::string column = QuoteMariaIdentifier(columns[i].info.name);
        const std::string as = QuoteMariaIdentifier("value " + std::to_string(i));
        add(columns[i], as);
        sets += (sets.empty() ? "t." : ", t.") + column + " = s." + as;
        if (std::find(keyColumns.begin(), keyColumns.end(), i) == keyColumns.end()) {
            keptSets += (keptSets.empty() ? "t." : ", t.") + column + " = s." + as;
        }
        singleSets += (singleSets.empty() ? "" : ", ") + column + " = ?";
    }
    std::string on;
    std::string keyNames;
    std::string keyMarks;
    for (std::size_t k = 0; k < keyColumns.size(); ++k) {
        const std::string& name = columns[keyColumns[k]].info.name;
        const std::string as = QuoteMariaIdentifier("key " + std::to_string(k));
        add(columns[keyColumns[k]], as);
        on += (on.empty() ? "t." : " AND t.") + QuoteMariaIdentifier(name) + " = s." + as;
        keyNames += (keyNames.empty() ? "" : ", ") + QuoteMariaIdentifier(name);
        keyMarks += keyMarks.empty() ? "?" : ", ?";
    }
    auto form = std::make_shared<MariaUpdateForm>();
    const bool fits = memory && rowBytes * rowsAtOnce <= kMemoryTableBytes;
    form->create = "CREATE TEMPORARY TABLE " + scratch +
                   (fits ? " ENGINE=MEMORY" : " ENGINE=InnoDB") + " SELECT " + selects + " FROM " +
                   table + " LIMIT 0";
    form->clear = "DELETE FROM " + scratch;
    form->insert = "INSERT INTO " + scratch + " (" + names + ") VALUES ";
    form->valuesAt = form->insert.size();
    form->insert += "(" + marks + ")";
    // The temporary table first, whatever the statistics say: a walk of the table instead would
    // lock every record of it, which other connections may be writing.
    const std::string join = "UPDATE " + scratch + " s STRAIGHT_JOIN " + table + " t ON " + on;
    form->apply = join + " SET " + sets;
    form->applyKeepingKeys = keptSets.empty() ? form->apply : join + " SET " + keptSets;
    form->single =
        "UPDATE " + table + " SET " + singleSets + " WHERE (" + keyNames + ") = (" + keyMarks + ")";
    return form;
}

}  // namespace rowsmith
