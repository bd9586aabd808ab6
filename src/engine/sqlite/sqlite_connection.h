// The SQLite driver's entry point. Everything SQLite-specific stays below this folder; the
// connection factory calls ConnectSqlite for aliases with DRIVER=SQLITE.
#pragma once

#include <memory>
#include <string>

#include "engine/driver.h"

namespace rowsmith {

// Opens an existing database file for reading and writing; a statement waits up to
// `lockTimeoutMs` for another program's lock (0: as long as it takes), and with `foreignKeys` a
// write that breaks a reference is refused. Throws EDBEngineError with SQLite's message when the
// file cannot be opened or is no database.
std::unique_ptr<Connection> ConnectSqlite(const std::string& path, int lockTimeoutMs,
                                          bool foreignKeys);

}  // namespace rowsmith
