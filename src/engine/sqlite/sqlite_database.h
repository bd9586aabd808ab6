// SqliteDatabase: one open SQLite handle and the transaction state of fill runs on it. The
// connection and every table opened through it share it, so a table stays usable after the
// session drops the connection.
//
// Outside a fill run each write is its own transaction. Inside one the first write starts
// BEGIN IMMEDIATE (which keeps other programs from writing until the commit), and the
// transaction is committed once it is kCommitInterval old, looked at every kWritesPerCheck
// writes. A commit costs a few disk syncs (about 15 ms on a plain disk): committing every few
// thousand records would halve a fast fill, while a commit a second costs about one percent and
// still lets other programs see the records come in. A failing write commits the writes before it
// and then raises.
//
// A dry run opens the transaction at once and never commits it: the periodic commits, the
// commits of failing writes and the end of fill runs leave it open, and its end rolls it back.
//
// Every wait for another program's lock ends after LOCK TIMEOUT. A transaction larger than
// SQLite's page cache writes pages to the database file before its commit, which needs the lock
// that another program's reader holds; SQLite waits for it and, when the wait runs out, keeps the
// pages in memory and silently waits again for the next page. Such a run-out stops the fill:
// the transaction cannot be committed while the reader stays, so it is rolled back.
#pragma once

#include <sqlite3.h>

#include <chrono>
#include <string>
#include <utility>

#include "engine/run_depth.h"

namespace rowsmith {

class SqliteDatabase {
public:
    // Opens an existing database file for reading and writing; throws EDBEngineError. A
    // statement waits up to `lockTimeoutMs` for another program's lock (0: as long as it takes)
    // and then fails with ELockTimeout. `foreignKeys`: writes that break a reference are refused.
    SqliteDatabase(const std::string& path, int lockTimeoutMs, bool foreignKeys);
    // Commits what a run left pending, then closes.
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    sqlite3* Handle() const { return db_; }

    // Runs SQL without results; throws EDBEngineError with SQLite's message.
    void Execute(const char* sql);

    void BeginRun();
    // Ends a run; the outermost end commits and raises a failing commit's error.
    void EndRun();

    void BeginDryRun();
    // Rolls back everything since BeginDryRun.
    void EndDryRun();

    bool InRun() const { return depth_.InRun(); }

    // Inside a fill run one table at a time may hold its inserts back to send several records in
    // one statement. Whatever else uses the connection writes them first, so that no read, write
    // or commit misses them.
    class InsertHolder {
    public:
        // Writes the held inserts as each would have been written alone, raising the error of
        // the first that fails after writing those before it.
        virtual void WriteHeld() = 0;

    protected:
        ~InsertHolder() = default;
    };
    // `holder` holds inserts from now on; the one that held them before writes them first.
    void Hold(InsertHolder* holder) {
        if (holder_ != holder) {
            WriteHeld();
            holder_ = holder;
        }
    }
    // Has the holder write what it holds, if any.
    void WriteHeld() {
        if (InsertHolder* holder = std::exchange(holder_, nullptr)) {
            holder->WriteHeld();
        }
    }
    // The holder holds nothing any more.
    void Release(InsertHolder* holder) {
        if (holder_ == holder) {
            holder_ = nullptr;
        }
    }

    // Every write of `table` goes between BeforeWrite and AfterWrite, or FailWrite when SQLite
    // refused it; `writes` counts the records a statement wrote. AfterWrite raises ELockTimeout
    // when a wait for a lock ran out although the write went through.
    void BeforeWrite(const std::string& table) {
        lockWaitRanOut_ = false;
        if (depth_.InRun() && !inTransaction_) {
            Begin();
            transactionTable_ = table;
        }
    }
    void AfterWrite(int writes = 1) {
        if (lockWaitRanOut_ && inTransaction_) {
            AbandonLockedTransaction();
        }
        if (inTransaction_ && !depth_.Dry() && (pendingWrites_ += writes) >= kWritesPerCheck) {
            pendingWrites_ = 0;
            if (std::chrono::steady_clock::now() - transactionStart_ >= kCommitInterval) {
                CommitIfFree();
            }
        }
    }
    // Raises EDBEngineError with `message` after committing the writes before the failed one;
    // ELockTimeout when SQLite's result code `rc` says another program held the lock too long.
    [[noreturn]] void FailWrite(std::string message, int rc);

    static constexpr int kWritesPerCheck = 4096;
    static constexpr std::chrono::seconds kCommitInterval{1};

private:
    // SQLite's busy handler: whether to wait on for a lock, after `attempts` looks at it in the
    // current statement.
    static int KeepWaiting(void* database, int attempts);
    bool KeepWaiting(int attempts);
    void Begin();
    void Commit();
    // The periodic commit: it does not wait for other programs' readers, and when one is still
    // reading the transaction simply goes on and the commit is tried again later.
    void CommitIfFree();
    [[noreturn]] void AbandonTransaction();
    // A wait ran out while the transaction held pages it could not write: rolls it back.
    [[noreturn]] void AbandonLockedTransaction();

    sqlite3* db_ = nullptr;
    int lockTimeoutMs_;
    // False while a commit is only tried, not waited for.
    bool waitForLocks_ = true;
    std::chrono::steady_clock::time_point waitStart_;
    bool lockWaitRanOut_ = false;
    // The table whose write began the transaction: a failing commit at the run's end names it.
    std::string transactionTable_;
    RunDepth depth_;
    bool inTransaction_ = false;
    // Writes since the age of the transaction was last looked at.
    int pendingWrites_ = 0;
    std::chrono::steady_clock::time_point transactionStart_;
    InsertHolder* holder_ = nullptr;
};

}  // namespace rowsmith
