// PgWriter: owns the driver's connection, and every change the driver makes goes through it, as
// do the reads, which first let a running COPY finish. Outside a fill run each change commits at
// once. A fill run writes in one transaction, opened by its first change and committed when the
// run ends, so the tables it locks stay locked from that change to the end: another session can
// read them, but neither write nor empty them in between, and a crash of the program, or a lost
// connection, leaves them as they were before the run. Inside it, changes are grouped into
// batches of many records, each under a savepoint: inserts stream through COPY, other statements
// run in the same batch, and everything is remembered until the batch ends. When the server
// refuses a batch, it is rolled back to its savepoint and replayed one change at a time, each
// under a savepoint of its own, and the transaction is committed with exactly the changes before
// the failing one before the server's error leaves the driver. Updates of a table keyed by its
// primary key stream the same way, into a temporary table applied by one UPDATE per run of them.
//
// A batch that ends in a COPY is not waited for: its end is sent, the rows posted next wait in
// memory, and the batch is released once the server has finished it, or when those rows have
// piled up. So the server works through a batch while the fill makes the next one. The same goes
// for a batch of updates that keep their keys, which a walk's read ends: the read comes first,
// then the UPDATE is sent, and the updates the walk posts next wait while the server writes it.
// A batch the server refuses is replayed as before, and the rows waiting behind it are dropped:
// they came after the refused one.
//
// A dry run holds one transaction open from its beginning to its end, which rolls it back; the
// run's batches are savepoints inside it as in a real run. Each batch's savepoint gets a
// transaction id of its own (what walks tell their own updates by). A dry run's reads go through
// the writing connection, the only one that sees its writes.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <variant>
#include <vector>

#include "engine/batch_core.h"
#include "engine/change_batch.h"
#include "engine/database_errors.h"
#include "engine/postgres/pg_link.h"
#include "engine/postgres/pg_update_form.h"

namespace rowsmith {

// A table as the writer sees it.
struct PgTarget {
    // Schema-qualified and quoted.
    std::string table;
    // Locked against other sessions' writes from the run's first change of it to the run's end.
    bool exclusive = false;
    // Transaction ids of the row versions written by updates since the table's walk started; the
    // walk skips them, so records it already visited do not come round again.
    std::vector<std::string> walkXids;
    // The walk started before the run wrote the table.
    bool walkOnUnwritten = false;
};

// The error of a change whose record is not there any more.
extern const char* const kPgRecordGone;

class PgWriter {
public:
    explicit PgWriter(std::unique_ptr<PgLink> link);

    PgLink& Link() { return *link_; }

    void BeginRun();
    // Ends the pending batch; the outermost end commits the run's transaction and leaves run
    // mode. Raises the failure of either.
    void EndRun();
    bool InRun() const { return core_.InRun(); }

    // REQUIRES: no run going on.
    void BeginDryRun();
    // Rolls back everything written since BeginDryRun.
    void EndDryRun();

    // Call before a statement of one's own on the link: ends a running COPY, and reconnects a
    // lost link when no transaction was open on it.
    void Settle();
    // The link to read `target` through. While a COPY runs and the open transaction has not
    // written that table, a second connection reads it, so that a master table walked during a
    // fill does not interrupt the stream; it sees the same committed rows.
    PgLink& ReadLink(const PgTarget& target);
    // A walk of `target` starts afresh: ends the open batch if the run wrote that table, so the
    // walk's own updates are told apart from rows written earlier, and notes whether it had.
    void StartWalk(PgTarget& target);
    // The link a walk of `target` reads its next records through: as ReadLink, except while
    // the records ahead are as committed (the run has written nothing of the table but the
    // walk's own updates, behind it and keeping their keys): then the walk's running batch of
    // updates is sent to the server without waiting, and a second connection reads what lies
    // ahead, as this one would.
    PgLink& WalkLink(const PgTarget& target);
    // Runs a read on the link ReadLink or WalkLink gave. A read by the second connection waits
    // for no lock: a session queued for a whole table that this run holds may be waiting for the
    // run, which would then wait for it; this connection reads then.
    PgResult Read(PgLink& link, const std::string& sql, const std::vector<PgText>& params = {});
    // ReadLink and Read in one.
    PgResult Read(const PgTarget& target, const std::string& sql,
                  const std::vector<PgText>& params = {});

    // One row for `columns` (quoted, comma-separated), as a COPY text line without newline,
    // streamed in the run's COPY. REQUIRES: InRun().
    void CopyRow(const std::shared_ptr<PgTarget>& target, const std::string& columns,
                 std::string_view line);
    // One update of `target` by `form`, as a COPY text line of the key and then the values,
    // streamed in the run's COPY into the form's temporary table. `oldKey` and `newKey` are the
    // record's key before and after as text: a record met twice starts a new batch, since one
    // UPDATE ... FROM writes each row once. REQUIRES: InRun().
    void UpdateRow(const std::shared_ptr<PgTarget>& target,
                   const std::shared_ptr<const UpdateForm>& form, const std::string& oldKey,
                   const std::string& newKey, std::string_view line);
    // One other change of `target`. With `returnsXmin` the statement ends in RETURNING xmin and
    // the row versions it writes are noted in the target; with `mustTouch` a statement that
    // returns no row fails with kPgRecordGone. Gives the statement's result, or null when a
    // replay carried it out.
    PgResult Execute(const std::shared_ptr<PgTarget>& target, const std::string& sql,
                     std::vector<PgText> params, bool returnsXmin, bool mustTouch = false);
    // The last row of a running COPY is held back until the next one comes, so that its key can
    // still be learnt: when it belongs to `target`, it is taken out of the COPY and written by an
    // INSERT ending in `returning`, whose result is given. Null when no row of `target` is held.
    PgResult WriteHeldRow(const std::shared_ptr<PgTarget>& target, const std::string& returning);

private:
    // A batch ends after this many changes or bytes of COPY text: large enough that its savepoint
    // costs little, small enough that a replay after a failure stays short.
    static constexpr std::size_t kBatchChanges = 20000;
    static constexpr std::size_t kBatchBytes = 8u << 20;
    // A batch of updates ends with a run of them, but no later than this.
    static constexpr std::size_t kUpdateChanges = 2 * kBatchChanges;
    // COPY text goes to the server in pieces of this size while the fill produces the next rows:
    // small, so that the server starts on a batch early and has little left to do when it ends.
    // libpq writes to the socket in pieces of 8 kB whatever the size.
    static constexpr std::size_t kSendChunk = 32u << 10;
    // Rows posted while the server finishes a batch wait for it up to this size or this many.
    static constexpr std::size_t kWaitingBytes = 1u << 20;
    static constexpr std::size_t kWaitingChanges = kBatchChanges / 2;

    struct CopyRun {
        std::shared_ptr<PgTarget> target;
        std::string columns;
        std::size_t begin = 0;  // the run's lines in copyText_
        std::size_t end = 0;
    };
    struct UpdateRun {
        std::shared_ptr<PgTarget> target;
        std::shared_ptr<const UpdateForm> form;
        std::size_t begin = 0;  // the run's lines in copyText_
        std::size_t end = 0;
        // A record's key changes: a walk must learn the new row versions, which may lie ahead.
        bool movesKeys = false;
    };
    struct Statement {
        std::shared_ptr<PgTarget> target;
        std::string sql;
        std::vector<PgText> params;
        bool returnsXmin = false;
        bool mustTouch = false;
    };
    using Step = std::variant<CopyRun, UpdateRun, Statement>;

    // Runs `action`; a failure of the server on the way is handled by Recover.
    template <typename Action>
    void Guarded(Action action);
    void Reconnect();
    // The second connection, opened on first need; this one, settled, when the server takes no
    // second one.
    PgLink& Reader();
    // Opens the run's transaction and the batch, and takes `target`'s lock.
    void Open(PgTarget& target);
    void Lock(const PgTarget& target);
    // Opens the batch and takes `target`'s lock before a change of it joins the steps, so that a
    // lock that cannot be had is that change's failure: the changes before it are kept, and no
    // replay waits for the lock a second time.
    void OpenFor(PgTarget& target);
    void FinishCopy();
    // Ends the batch: a batch whose last step is a running COPY ends that COPY without waiting
    // and leaves the rest to Resume; any other commits at once.
    void EndBatch();
    // Commits a batch that EndBatch or WalkLink left, then starts the next one with the lines
    // posted since. Every use of the link but the hot paths of CopyRow and UpdateRow calls this
    // first.
    void Resume();
    // Writes a finished update run's rows over the table's, noting the new row versions.
    void Apply(const UpdateRun& run);
    // Raises kPgRecordGone when the UPDATE that applied `run` wrote fewer rows (`written`) than
    // the run holds.
    void CheckWritten(const UpdateRun& run, long long written) const;
    // Keeps `line` while the ended batch finishes, and looks every kSendChunk bytes whether it
    // has: Resume then, or once `changes` lines or `bytes` wait.
    void Hold(std::string_view line, std::size_t changes, std::size_t bytes);
    // Opens the batch for `target` if need be and starts the COPY of an update run into `form`'s
    // temporary table.
    void StartUpdateCopy(PgTarget& target, const UpdateForm& form);
    // Starts the batch whose text the updates that waited behind `ended` are, with their keys.
    void RestartUpdates(const UpdateRun& ended, std::unordered_set<std::string> keys);
    void SendPending();
    // Ends the batch, keeping its changes in the run's transaction.
    void Commit();
    // Rolls the batch back and replays its steps; raises the first failure with the changes
    // before it kept, or returns with the batch's changes written when the replay succeeds.
    // REQUIRES: called from the handler of the failure, which it raises again as it is (a lock
    // timeout, say) when there is nothing to replay.
    void Recover();
    // The steps' changes one by one: each COPY line as a statement of its own.
    static ChangeBatch<Statement> Unstream(const std::vector<Step>& steps,
                                           const std::string& copyText);
    // The handler a replay writes each change through, its table locked first.
    class Resend;
    PgResult Run(const Statement& statement);
    // The INSERT that writes one COPY line of `columns` on its own, with `returning` after it.
    static Statement LineInsert(const std::shared_ptr<PgTarget>& target, const std::string& columns,
                                std::string_view line, const std::string& returning);
    // Forgets the batch.
    void Forget();

    std::unique_ptr<PgLink> link_;
    std::unique_ptr<PgLink> reader_;  // opened on first need
    BatchCore core_;
    std::vector<Step> steps_;
    std::string copyText_;
    std::size_t sent_ = 0;
    std::size_t heldLine_ = 0;  // start of the held-back last line
    std::size_t changes_ = 0;
    // The keys of the running update run, before and after.
    std::unordered_set<std::string> updateKeys_;
    // Between EndBatch (or WalkLink) and Resume: the COPY lines posted meanwhile, for the
    // table and columns (or form) of the ended batch's last run, where the last one starts,
    // their number, and the size at which to look whether the server has finished.
    bool ending_ = false;
    std::string nextText_;
    std::size_t nextHeld_ = 0;
    std::size_t nextChanges_ = 0;
    std::size_t nextCheck_ = 0;
    // The keys of the updates waiting, which keep them.
    std::unordered_set<std::string> nextKeys_;
    // Tables the run wrote other than by a walk's updates that keep their keys.
    std::unordered_set<std::string> writtenOtherwise_;
};

// Here, for every file of the writer.
template <typename Action>
void PgWriter::Guarded(Action action) {
    try {
        action();
    } catch (const EDBEngineError&) {
        Recover();
    }
}

// INSERT INTO table (columns) VALUES ($1, ..., $count).
std::string InsertSql(const std::string& table, const std::string& columns, std::size_t count);

}  // namespace rowsmith
