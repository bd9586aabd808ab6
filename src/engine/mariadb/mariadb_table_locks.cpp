#include "engine/mariadb/mariadb_table_locks.h"

#include <algorithm>

#include "engine/database_errors.h"

namespace rowsmith {

namespace {

// The server's own text for a lock wait that ran out, as its row and table locks give it.
constexpr const char* kLockWaitTimeout = "Lock wait timeout exceeded; try restarting transaction";

// Lock names are at most 64 characters long and table names compare without letter case on
// some servers: the name is a digest of the lowered database and table names.
constexpr const char* kLockName =
    "CONCAT('rowsmith fill ', MD5(LOWER(CONCAT(DATABASE(), '.', ?))))";

}  // namespace

bool MariaTableLocks::Holds(const std::string& table) const {
    return std::find(tables_.begin(), tables_.end(), table) != tables_.end();
}

void MariaTableLocks::Take(MariaLink& link, const std::string& table) {
    const FieldValue name = table;
    const std::vector<MariaRow> rows =
        link.Query(std::string("SELECT GET_LOCK(") + kLockName + ", @@lock_wait_timeout)",
                   {MariaParam{&name}});
    // 0 when the wait ran out, NULL when the server gave up on it (the connection killed).
    const auto* taken = rows.empty() ? nullptr : std::get_if<std::int64_t>(&rows[0][0]);
    if (taken == nullptr || *taken != 1) {
        throw ELockTimeout(kLockWaitTimeout);
    }
    if (!Holds(table)) {
        tables_.push_back(table);
    }
}

void MariaTableLocks::TakeAgain(MariaLink& link) {
    for (const std::string& table : std::vector<std::string>(tables_)) {
        Take(link, table);
    }
}

void MariaTableLocks::ReleaseAll(MariaLink& link) noexcept {
    for (const std::string& table : tables_) {
        const FieldValue name = table;
        try {
            link.Query(std::string("SELECT RELEASE_LOCK(") + kLockName + ")", {MariaParam{&name}});
        } catch (...) {
            // Gone with the connection, or never to be reached again on it.
        }
    }
    tables_.clear();
}

}  // namespace rowsmith
