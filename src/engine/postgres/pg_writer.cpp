#include "engine/postgres/pg_writer.h"

#include <cstdlib>

namespace rowsmith {

const char* const kPgRecordGone = "Record not found: it was changed or deleted by another user";

std::string InsertSql(const std::string& table, const std::string& columns, std::size_t count) {
    std::string sql = "INSERT INTO " + table + " (" + columns + ") VALUES (";
    for (std::size_t i = 1; i <= count; ++i) {
        sql += (i > 1 ? ", $" : "$") + std::to_string(i);
    }
    return sql + ")";
}

// Deferred constraints are checked per statement, so that a replay finds the failing row.
PgWriter::PgWriter(std::unique_ptr<PgLink> link)
    : link_(std::move(link)), core_(*link_, {"BEGIN; SET CONSTRAINTS ALL IMMEDIATE", true}) {}

void PgWriter::BeginRun() {
    core_.Depth().Enter();
}

void PgWriter::BeginDryRun() {
    Settle();
    core_.BeginDryRun();
}

void PgWriter::EndDryRun() {
    if (!core_.Depth().LeaveDry()) {
        return;
    }
    if (ending_) {
        // Until the server has judged the ended batch the link counts as busy, and the rollback
        // below would be left out.
        try {
            link_->AwaitResult();
        } catch (const EDBEngineError&) {
            // Rolled back with everything else.
        }
    }
    link_->AbandonCopy();
    Forget();
    core_.ForgetRun();
    if (link_->Alive() && link_->InTransaction()) {
        link_->Execute("ROLLBACK");
    }
}

void PgWriter::EndRun() {
    if (!core_.InRun()) {
        return;
    }
    const RunDepth::Exit leave(core_.Depth());
    Commit();
    if (core_.Depth().Outermost()) {
        core_.CommitRun();
    }
}

void PgWriter::Reconnect() {
    if (core_.DryRun() && !link_->Alive()) {
        // A new connection would write for real, outside the transaction that was lost.
        throw EDBEngineError("The connection to the server was lost during the dry run");
    }
    if (!core_.InRunTransaction() && !core_.InBatch() && !link_->Alive()) {
        link_->Revive();
    }
}

void PgWriter::Settle() {
    Resume();
    if (link_->Copying()) {
        Guarded([&] { FinishCopy(); });
    }
    Reconnect();
}

PgLink& PgWriter::ReadLink(const PgTarget& target) {
    Resume();
    if (core_.DryRun() || !link_->Copying() || core_.Wrote(target.table)) {
        Settle();
        return *link_;
    }
    return Reader();
}

PgLink& PgWriter::Reader() {
    try {
        if (!reader_) {
            reader_ = link_->Twin();
        } else if (!reader_->Alive()) {
            reader_->Revive();
        }
        return *reader_;
    } catch (const EDBEngineError&) {
        // The server takes no second connection (too many clients, say): this one reads.
        Settle();
        return *link_;
    }
}

PgResult PgWriter::Read(PgLink& link, const std::string& sql, const std::vector<PgText>& params) {
    if (&link != reader_.get()) {
        return link.Query(sql, params);
    }
    const auto rollBack = [&] {
        if (link.Alive() && link.InTransaction()) {
            link.Execute("ROLLBACK");
        }
    };
    try {
        link.Execute("BEGIN; SET LOCAL lock_timeout = '10ms'");
        PgResult result = link.Query(sql, params);
        link.Execute("COMMIT");
        return result;
    } catch (const ELockTimeout&) {
        rollBack();
    } catch (const EDBEngineError&) {
        rollBack();
        throw;
    }
    Settle();
    return link_->Query(sql, params);
}

PgResult PgWriter::Read(const PgTarget& target, const std::string& sql,
                        const std::vector<PgText>& params) {
    return Read(ReadLink(target), sql, params);
}

void PgWriter::StartWalk(PgTarget& target) {
    if (core_.InBatch() && core_.Wrote(target.table)) {
        Commit();
    }
    target.walkXids.clear();
    target.walkOnUnwritten = !core_.Wrote(target.table);
    if (target.walkOnUnwritten) {
        writtenOtherwise_.erase(target.table);
    }
}

void PgWriter::Open(PgTarget& target) {
    core_.OpenBatch();
    Lock(target);
    core_.NoteWrite(target.table);
}

void PgWriter::Lock(const PgTarget& target) {
    if (target.exclusive && !core_.Locked(target.table)) {
        link_->Execute("LOCK TABLE " + target.table + " IN EXCLUSIVE MODE");
        core_.NoteLock(target.table);
    }
}

void PgWriter::OpenFor(PgTarget& target) {
    // What lies ahead of a walk of the table may be written now.
    writtenOtherwise_.insert(target.table);
    try {
        Open(target);
    } catch (const EDBEngineError&) {
        // Recover keeps the changes before this one, or raises the failure when there are none.
        Recover();
        core_.KeepWritten();
        throw;
    }
}

void PgWriter::FinishCopy() {
    heldLine_ = copyText_.size();
    SendPending();
    link_->FinishCopy();
    const UpdateRun* run = steps_.empty() ? nullptr : std::get_if<UpdateRun>(&steps_.back());
    if (run != nullptr) {
        Apply(*run);
    }
}

void PgWriter::SendPending() {
    if (sent_ < heldLine_) {
        link_->SendCopyData(copyText_.data() + sent_, heldLine_ - sent_);
        sent_ = heldLine_;
    }
}

void PgWriter::CopyRow(const std::shared_ptr<PgTarget>& target, const std::string& columns,
                       std::string_view line) {
    // A full batch ends before the next row rather than after its last one, so that the row
    // posted last is always held back and LastInsertKey can still write it with RETURNING.
    if (!ending_ && (changes_ >= kBatchChanges || copyText_.size() >= kBatchBytes)) {
        EndBatch();
    }
    if (ending_) {
        const CopyRun* ended = std::get_if<CopyRun>(&steps_.back());
        if (ended != nullptr && ended->target == target && ended->columns == columns) {
            Hold(line, kWaitingChanges, kWaitingBytes);
            return;
        }
        Resume();
    }
    Reconnect();
    const CopyRun* last = steps_.empty() ? nullptr : std::get_if<CopyRun>(&steps_.back());
    const bool sameRun =
        last && link_->Copying() && last->target == target && last->columns == columns;
    if (!sameRun && link_->Copying()) {
        Guarded([&] { FinishCopy(); });
    }
    if (!sameRun) {
        OpenFor(*target);
    }
    Guarded([&] {
        // The row joins the steps before anything can fail, so a replay includes it.
        if (!sameRun) {
            steps_.push_back(CopyRun{target, columns, copyText_.size(), copyText_.size()});
        }
        CopyRun& run = std::get<CopyRun>(steps_.back());
        heldLine_ = copyText_.size();
        copyText_.append(line);
        copyText_ += '\n';
        run.end = copyText_.size();
        ++changes_;
        if (!sameRun) {
            link_->StartCopy("COPY " + target->table + " (" + columns + ") FROM STDIN");
        }
        if (heldLine_ - sent_ >= kSendChunk) {
            SendPending();
        }
    });
}

void PgWriter::EndBatch() {
    if (!link_->Copying() || !std::holds_alternative<CopyRun>(steps_.back())) {
        Commit();
        return;
    }
    heldLine_ = copyText_.size();
    Guarded([&] {
        SendPending();
        link_->EndCopy();
    });
    // A replay has ended the batch already.
    if (core_.InBatch()) {
        ending_ = true;
        nextCheck_ = kSendChunk;
    }
}

void PgWriter::Resume() {
    if (!ending_) {
        return;
    }
    ending_ = false;
    const Step ended = steps_.back();
    // Lines that came after a refused change are dropped with the error.
    std::string lines;
    lines.swap(nextText_);
    const std::size_t held = nextHeld_;
    const std::size_t changes = nextChanges_;
    std::unordered_set<std::string> keys;
    keys.swap(nextKeys_);
    Guarded([&] {
        PgResult result = link_->AwaitResult();
        if (const UpdateRun* run = std::get_if<UpdateRun>(&ended)) {
            CheckWritten(*run, std::atoll(PQcmdTuples(result.get())));
        }
        core_.ReleaseBatch();
    });
    Forget();
    if (lines.empty()) {
        return;
    }
    // The lines start the next batch as CopyRow or UpdateRow would have; the buffers swap to
    // keep their room.
    copyText_.swap(lines);
    nextText_.swap(lines);
    changes_ = changes;
    if (const UpdateRun* run = std::get_if<UpdateRun>(&ended)) {
        RestartUpdates(*run, std::move(keys));
        return;
    }
    const CopyRun& run = std::get<CopyRun>(ended);
    OpenFor(*run.target);
    Guarded([&] {
        steps_.push_back(CopyRun{run.target, run.columns, 0, copyText_.size()});
        heldLine_ = held;
        link_->StartCopy("COPY " + run.target->table + " (" + run.columns + ") FROM STDIN");
        SendPending();
    });
}

void PgWriter::Hold(std::string_view line, std::size_t changes, std::size_t bytes) {
    nextHeld_ = nextText_.size();
    nextText_.append(line);
    nextText_ += '\n';
    ++nextChanges_;
    if (nextText_.size() < nextCheck_) {
        return;
    }
    if (nextChanges_ >= changes || nextText_.size() >= bytes || link_->ResultIn()) {
        Resume();
    } else {
        nextCheck_ = nextText_.size() + kSendChunk;
    }
}

PgResult PgWriter::Execute(const std::shared_ptr<PgTarget>& target, const std::string& sql,
                           std::vector<PgText> params, bool returnsXmin, bool mustTouch) {
    Statement statement{target, sql, std::move(params), returnsXmin, mustTouch};
    Settle();
    if (!InRun()) {
        return Run(statement);
    }
    PgResult result;
    OpenFor(*target);
    Guarded([&] {
        steps_.push_back(std::move(statement));
        ++changes_;
        result = Run(std::get<Statement>(steps_.back()));
    });
    if (changes_ >= kBatchChanges) {
        Commit();
    }
    return result;
}

PgResult PgWriter::WriteHeldRow(const std::shared_ptr<PgTarget>& target,
                                const std::string& returning) {
    Resume();
    CopyRun* last = steps_.empty() ? nullptr : std::get_if<CopyRun>(&steps_.back());
    if (!link_->Copying() || !last || last->target != target || heldLine_ == copyText_.size()) {
        return nullptr;
    }
    const std::string line = copyText_.substr(heldLine_, copyText_.size() - heldLine_ - 1);
    copyText_.resize(heldLine_);
    last->end = heldLine_;
    const std::string columns = last->columns;
    --changes_;
    if (last->begin == last->end) {
        steps_.pop_back();
    }
    Guarded([&] { FinishCopy(); });
    Statement insert = LineInsert(target, columns, line, returning);
    return Execute(target, insert.sql, std::move(insert.params), false);
}

void PgWriter::Commit() {
    Resume();
    if (!core_.InBatch()) {
        return;
    }
    Guarded([&] {
        if (link_->Copying()) {
            FinishCopy();
        }
        core_.ReleaseBatch();
    });
    Forget();
}

void PgWriter::Forget() {
    steps_.clear();
    copyText_.clear();
    sent_ = 0;
    heldLine_ = 0;
    changes_ = 0;
    updateKeys_.clear();
    ending_ = false;
    nextText_.clear();
    nextHeld_ = 0;
    nextChanges_ = 0;
    nextKeys_.clear();
    core_.ForgetBatch();
}

}  // namespace rowsmith
