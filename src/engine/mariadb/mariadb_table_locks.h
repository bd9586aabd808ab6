// MariaTableLocks: the named locks (GET_LOCK) by which two fills of one table on a MariaDB or MySQL
// server keep out of each other's way. InnoDB has no table lock that keeps other connections from
// writing a table while they may still read it, so a fill does not keep other programs out; but
// every fill of a table takes the same named lock, one per database and table, and a second fill
// waits for the first up to the connection's lock_wait_timeout (the alias's LOCK TIMEOUT). A named
// lock belongs to the connection, not to a transaction: it lasts over the fill's commits until it
// is released, and goes with a lost connection.
#pragma once

#include <string>
#include <vector>

#include "engine/mariadb/mariadb_link.h"

namespace rowsmith {

class MariaTableLocks {
public:
    bool Holds(const std::string& table) const;
    // Raises ELockTimeout with the server's lock wait message when the wait runs out.
    void Take(MariaLink& link, const std::string& table);
    // On a connection opened again after the loss of the one that held them.
    void TakeAgain(MariaLink& link);
    // Never raises: the locks of a connection that fails go with it.
    void ReleaseAll(MariaLink& link) noexcept;

private:
    std::vector<std::string> tables_;
};

}  // namespace rowsmith
