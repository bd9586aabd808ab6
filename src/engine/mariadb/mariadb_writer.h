// MariaWriter: owns the driver's connection; every change the driver makes goes through it, and
// every read asks it for the link first. Outside a fill run each change commits at once. During
// a run, changes are grouped into transactions of many records, and appended rows of one table
// go to the server many to an INSERT. Every change is remembered until its commit: when the
// server refuses one, the transaction is rolled back and replayed one change at a time, each
// under a savepoint, so exactly the changes before the failing one are committed before the
// server's error leaves the driver. When the connection is lost, the server has rolled back the
// open transaction: a new connection replays the changes before the one that met the loss and
// commits them, then the loss is raised, so what a fill counted as written is what is kept. A
// loss during COMMIT itself is raised as such, not replayed: the server may have committed. A
// lock wait that times out undoes the waiting statement only: what came before it is committed,
// not replayed into the same wait. The first row of a table in a transaction goes at once, so a
// lock on the table stops the write of that row.
//
// A run takes the named lock of each table it writes that was opened exclusively (see
// MariaTableLocks) before its first change of it, and holds it to the run's end, so that two fills
// of one table do not interleave.
//
// A dry run holds one transaction from its beginning to its end, which rolls it back; the run's
// transactions become savepoints inside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/batch_core.h"
#include "engine/change_batch.h"
#include "engine/mariadb/mariadb_link.h"
#include "engine/mariadb/mariadb_table_locks.h"
#include "engine/mariadb/mariadb_update_form.h"

namespace rowsmith {

// Rows sent to the server at most in one statement: past a thousand the server gains little.
constexpr std::size_t kMariaRowsPerStatement = 1000;
// Updates applied at most by one UPDATE joining the temporary table: each UPDATE costs the server
// a walk of the temporary table and a plan, so fewer of them go faster.
constexpr std::size_t kMariaUpdateSetRows = 10000;

// The error of an update whose record is not there any more.
extern const char* const kMariaRecordGone;

// A table as the writer sees it.
struct MariaTarget {
    // The table's name as the database spells it, for messages.
    std::string name;
    // The storage engine, and whether it keeps transactions (InnoDB does, MyISAM does not).
    std::string engine;
    bool transactional = true;
    // Written by one fill at a time: the run takes the table's named lock.
    bool exclusive = false;
};

// A change's parameters, kept with it so that it can be replayed.
struct MariaValues {
    std::vector<FieldValue> values;
    std::vector<MariaBind> binds;
};

class MariaWriter {
public:
    explicit MariaWriter(std::unique_ptr<MariaLink> link);

    // The link, for a read or a statement of one's own: rows still waiting are sent first, and
    // a connection lost outside a transaction is opened again.
    MariaLink& Settled();

    void BeginRun();
    // Commits what is pending; raises the failure of that commit. Runs may nest; the end of each
    // commits, and the outermost one's releases the tables' named locks.
    void EndRun();
    bool InRun() const { return core_.InRun(); }

    // REQUIRES: no run going on.
    void BeginDryRun();
    // Rolls back everything written since BeginDryRun.
    void EndDryRun();

    // One change of `target`. Raises EDBEngineError for a table without transactions in a run,
    // where a failure could not be undone.
    void Execute(const MariaTarget& target, const std::string& sql, const MariaValues& params);
    // One row appended to `target` by `sql`, an INSERT whose one row of placeholders begins at
    // `valuesAt`. In a run the row may wait to go with the next rows of the same statement.
    void Insert(const MariaTarget& target, const std::string& sql, std::size_t valuesAt,
                const MariaValues& params);
    // The update of one record of `target` by `form`: `params` are the new values and then the
    // key, `oldKey` and `newKey` the record's key before and after. In a run the update may wait
    // to be written with the next ones of the same form; a record met again starts a new set.
    // Raises kMariaRecordGone for a record that is gone, at once outside a run.
    void Update(const MariaTarget& target, const std::shared_ptr<MariaUpdateForm>& form,
                const MariaValues& params, const std::vector<FieldValue>& oldKey,
                const std::vector<FieldValue>& newKey);
    // The AUTO_INCREMENT value the last appended row got; that row is sent on its own first when
    // it is still waiting.
    std::uint64_t LastInsertId();

private:
    struct Step {
        std::string sql;
        MariaValues params;
        // Where the row of placeholders of an INSERT begins; npos for other changes.
        std::size_t valuesAt = std::string::npos;
        // For an update: `sql` fills the form's temporary table.
        std::shared_ptr<MariaUpdateForm> form;
    };

    // Joins a row to those waiting to be sent as one statement, first sending those waiting
    // when the row cannot join them.
    void Wait(const MariaTarget& target, Step step, bool joins);

    // Opens a connection again that was lost outside a transaction.
    void Reconnect();
    // Opens the lost connection again, with the named locks the old one held.
    void Revive();
    // Runs `action`; a failure of it goes to Recover, which keeps steps_[0, keepIfLost) when the
    // connection was lost and replays every step to find the refused one otherwise.
    template <typename Action>
    void Guarded(std::size_t keepIfLost, Action action);
    // Opens the run's transaction, or its savepoint in a dry run, after taking the table's named
    // lock.
    void Open(const MariaTarget& target);
    // Sends the rows in steps_[sent_, end) as INSERTs of many rows, and applies updates.
    void SendRows(std::size_t end);
    // Puts steps_[at, at + rows), which share `first`'s statement, into rowsSql_ and rowParams_.
    void InsertRows(const Step& first, std::size_t at, std::size_t rows);
    // Applies the set of updates steps_[first, end).
    void Apply(MariaUpdateForm& form, std::size_t first, std::size_t end);
    void Commit();
    // Rolls back and replays steps_[0, keep) one at a time: raises the first failure, else the
    // loss of the connection when that was what failed, else returns with everything committed.
    // REQUIRES: called from the handler of the failure.
    void Recover(std::size_t keep);
    // The handler a replay writes each change through.
    class Resend;
    void Run(const Step& step);
    void Forget();

    std::unique_ptr<MariaLink> link_;
    MariaTableLocks tableLocks_;
    BatchCore core_;
    ChangeBatch<Step> steps_;
    // steps_ before this index went to the server; those after are rows waiting to be sent.
    std::size_t sent_ = 0;
    std::size_t waitingBytes_ = 0;
    // The keys, before and after, of the updates waiting to be sent; while they kept their keys in
    // rising order, only the last key.
    bool ascending_ = false;
    std::vector<FieldValue> lastKey_;
    std::set<std::vector<FieldValue>> waitingKeys_;
    std::uint64_t lastInsertId_ = 0;
    // Reused for every INSERT of many rows.
    std::string rowsSql_;
    std::vector<MariaParam> rowParams_;
};

}  // namespace rowsmith
