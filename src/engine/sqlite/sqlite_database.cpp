#include "engine/sqlite/sqlite_database.h"

#include <algorithm>

#include "engine/database_errors.h"
#include "engine/lock_naming_driver.h"

namespace rowsmith {

namespace {

const char kRolledBack[] = "The records posted since the last commit were rolled back";

[[noreturn]] void Raise(std::string message, int rc) {
    if ((rc & 0xFF) == SQLITE_BUSY) {
        throw ELockTimeout(message);
    }
    throw EDBEngineError(message);
}

}  // namespace

SqliteDatabase::SqliteDatabase(const std::string& path, int lockTimeoutMs, bool foreignKeys)
    : lockTimeoutMs_(lockTimeoutMs) {
    // No SQLITE_OPEN_CREATE: a mistyped path must not quietly become a new, empty database.
    // One thread at a time uses a connection, so SQLite's own mutexes would only cost time.
    const int rc =
        sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw EDBEngineError(message + "\n" + path);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_handler(db_, KeepWaiting, this);
    try {
        // A file that is no database opens fine and fails on first read; find out now.
        Execute("SELECT count(*) FROM sqlite_master");
        // SQLite checks references only when each connection asks for it.
        Execute(foreignKeys ? "PRAGMA foreign_keys = ON" : "PRAGMA foreign_keys = OFF");
    } catch (const EDBEngineError& error) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw EDBEngineError(std::string(error.what()) + "\n" + path);
    }
}

SqliteDatabase::~SqliteDatabase() {
    if (inTransaction_) {
        sqlite3_exec(db_, depth_.Dry() ? "ROLLBACK" : "COMMIT", nullptr, nullptr, nullptr);
    }
    sqlite3_close_v2(db_);
}

int SqliteDatabase::KeepWaiting(void* database, int attempts) {
    return static_cast<SqliteDatabase*>(database)->KeepWaiting(attempts) ? 1 : 0;
}

bool SqliteDatabase::KeepWaiting(int attempts) {
    if (!waitForLocks_) {
        return false;
    }
    const auto now = std::chrono::steady_clock::now();
    if (attempts == 0) {
        waitStart_ = now;
    }
    // Look again soon at first, then a few times a second.
    int sleepMs = attempts < 7 ? 1 << attempts : 100;
    // A LOCK TIMEOUT of 0 waits for as long as it takes.
    if (lockTimeoutMs_ > 0) {
        const auto waited =
            std::chrono::duration_cast<std::chrono::milliseconds>(now - waitStart_).count();
        if (waited >= lockTimeoutMs_) {
            lockWaitRanOut_ = true;
            return false;
        }
        sleepMs = std::min<int>(sleepMs, static_cast<int>(lockTimeoutMs_ - waited));
    }
    sqlite3_sleep(sleepMs);
    return true;
}

void SqliteDatabase::Execute(const char* sql) {
    char* error = nullptr;
    if (const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &error); rc != SQLITE_OK) {
        std::string message = error != nullptr ? error : sqlite3_errmsg(db_);
        sqlite3_free(error);
        Raise(message, rc);
    }
}

void SqliteDatabase::BeginRun() {
    depth_.Enter();
}

void SqliteDatabase::EndRun() {
    if (!depth_.InRun()) {
        return;
    }
    {
        // The run has ended even when its last inserts fail; those before the failing one are
        // committed by then.
        RunDepth::Exit exit(depth_);
        try {
            WriteHeld();
        } catch (const ELockTimeout& error) {
            throw ELockTimeout(std::string(error.what()) + "\n" +
                               LockedTableLine(transactionTable_));
        }
    }
    if (!depth_.InRun() && inTransaction_) {
        try {
            Commit();
        } catch (const ELockTimeout& error) {
            throw ELockTimeout(std::string(error.what()) + "\n" +
                               LockedTableLine(transactionTable_));
        }
    }
}

void SqliteDatabase::BeginDryRun() {
    WriteHeld();
    if (inTransaction_) {
        Commit();
    }
    Begin();
    depth_.EnterDry();
}

void SqliteDatabase::EndDryRun() {
    if (depth_.Dry()) {
        try {
            WriteHeld();
        } catch (const EDBEngineError&) {
            // What they would have written is rolled back next, with everything else.
        }
    }
    if (!depth_.LeaveDry()) {
        return;
    }
    const bool open = sqlite3_get_autocommit(db_) == 0;
    inTransaction_ = false;
    pendingWrites_ = 0;
    if (open) {
        Execute("ROLLBACK");
    }
}

void SqliteDatabase::Begin() {
    Execute("BEGIN IMMEDIATE");
    inTransaction_ = true;
    pendingWrites_ = 0;
    transactionStart_ = std::chrono::steady_clock::now();
}

void SqliteDatabase::Commit() {
    if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        AbandonTransaction();
    }
    inTransaction_ = false;
    pendingWrites_ = 0;
}

void SqliteDatabase::CommitIfFree() {
    waitForLocks_ = false;
    const int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    waitForLocks_ = true;
    if (rc == SQLITE_OK) {
        inTransaction_ = false;
        pendingWrites_ = 0;
    } else if ((rc & 0xFF) == SQLITE_BUSY) {
        transactionStart_ = std::chrono::steady_clock::now();
    } else {
        AbandonTransaction();
    }
}

void SqliteDatabase::AbandonTransaction() {
    // A commit that cannot finish (a reader of another program outlasting the busy wait, a full
    // disk) leaves the transaction open; roll it back so the connection stays usable, and say so.
    const int rc = sqlite3_extended_errcode(db_);
    const std::string message = sqlite3_errmsg(db_);
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    inTransaction_ = false;
    pendingWrites_ = 0;
    Raise(message + "\n" + kRolledBack, rc);
}

void SqliteDatabase::AbandonLockedTransaction() {
    lockWaitRanOut_ = false;
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    inTransaction_ = false;
    pendingWrites_ = 0;
    throw ELockTimeout(std::string(sqlite3_errstr(SQLITE_BUSY)) + "\n" + kRolledBack);
}

void SqliteDatabase::FailWrite(std::string message, int rc) {
    if (inTransaction_) {
        if (sqlite3_get_autocommit(db_) != 0) {
            // Some failures (a full disk, an I/O error) make SQLite roll back the whole
            // transaction itself; the records since the last commit are gone.
            inTransaction_ = false;
            pendingWrites_ = 0;
            message += "\n";
            message += kRolledBack;
        } else if (!depth_.Dry()) {
            // After a wait for a lock that ran out the commit is only tried: waiting again would
            // make the fill wait twice as long as the alias allows.
            waitForLocks_ = (rc & 0xFF) != SQLITE_BUSY;
            try {
                Commit();
            } catch (const EDBEngineError& error) {
                message += "\n";
                message += error.what();
            }
            waitForLocks_ = true;
        }
    }
    Raise(std::move(message), rc);
}

}  // namespace rowsmith
