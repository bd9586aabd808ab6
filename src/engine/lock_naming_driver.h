// LockNamingDriver: a table driver seen through a cursor, whose lock timeouts name the table. A
// database's own message for a lock it gave up waiting for ("canceling statement due to lock
// timeout", "database is locked") does not say which table was wanted; the cursor that opened
// the driver knows, so TableCursor wraps every driver it opens in one of these.
#pragma once

#include <memory>
#include <string>

#include "engine/driver.h"

namespace rowsmith {

// Opens `tableName` on `connection` and gives a driver that forwards every call to it. An
// ELockTimeout on its way out, of the open too, gets a line naming the table and the alias key
// that sets the wait.
std::unique_ptr<TableDriver> OpenNamingLockTimeouts(Connection& connection,
                                                    const std::string& tableName, bool exclusive);

// The line that a lock timeout's message gets to name the table that waited.
std::string LockedTableLine(const std::string& tableName);

}  // namespace rowsmith
