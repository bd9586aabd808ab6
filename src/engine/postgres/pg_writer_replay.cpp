// PgWriter: what happens when the server refuses a batch: the batch is rolled back to its
// savepoint and its changes replayed one at a time, each under a savepoint, up to the one that
// fails; the changes before that one are then committed.
#include "engine/postgres/pg_copy_text.h"
#include "engine/postgres/pg_writer.h"

namespace rowsmith {

void PgWriter::Recover() {
    const std::vector<Step> steps = std::move(steps_);
    const std::string copyText = std::move(copyText_);
    const bool inBatch = inBatch_;
    Forget();
    link_->AbandonCopy();
    if (!link_->Alive()) {
        // The server rolled the whole transaction back.
        ForgetRun();
        throw;
    }
    if (inBatch) {
        try {
            RollBackBatch();
        } catch (const EDBEngineError&) {
            // The failure below is the one worth reporting.
        }
    }
    if (steps.empty()) {
        // The failure being handled, as the class it has (a lock timeout, say).
        KeepWritten();
        throw;
    }
    try {
        Replay(steps, copyText);
    } catch (const EDBEngineError&) {
        if (!link_->Alive()) {
            ForgetRun();
            throw;
        }
        // The changes replayed before the failing one are kept; a failure before the first of
        // them (its lock, say) leaves the batch with nothing to keep.
        if (inBatch_ && link_->TransactionFailed()) {
            RollBackBatch();
        } else if (inBatch_) {
            ReleaseBatch();
        }
        KeepWritten();
        throw;
    }
}

void PgWriter::Replay(const std::vector<Step>& steps, const std::string& copyText) {
    link_->Execute("SAVEPOINT batch");
    inBatch_ = true;
    for (const Step& step : steps) {
        Lock(*std::visit([](const auto& s) { return s.target.get(); }, step));
    }
    for (const Step& step : steps) {
        if (const Statement* statement = std::get_if<Statement>(&step)) {
            Attempt(*statement);
            continue;
        }
        if (const UpdateRun* run = std::get_if<UpdateRun>(&step)) {
            ReplayUpdates(*run, copyText);
            continue;
        }
        const CopyRun& run = std::get<CopyRun>(step);
        std::size_t pos = run.begin;
        while (pos < run.end) {
            const std::size_t newline = copyText.find('\n', pos);
            Attempt(LineInsert(run.target, run.columns,
                               std::string_view(copyText).substr(pos, newline - pos), ""));
            pos = newline + 1;
        }
    }
    ReleaseBatch();
}

void PgWriter::ReplayUpdates(const UpdateRun& run, const std::string& copyText) {
    std::size_t pos = run.begin;
    while (pos < run.end) {
        const std::size_t newline = copyText.find('\n', pos);
        Attempt(Statement{run.target, run.form->single,
                          DecodeCopyLine(std::string_view(copyText).substr(pos, newline - pos)),
                          true, true});
        pos = newline + 1;
    }
}

void PgWriter::Attempt(const Statement& statement) {
    link_->Execute("SAVEPOINT replay");
    try {
        Run(statement);
    } catch (const EDBEngineError&) {
        // Keep everything before the failing change.
        link_->Execute("ROLLBACK TO SAVEPOINT replay; RELEASE SAVEPOINT replay");
        throw;
    }
    link_->Execute("RELEASE SAVEPOINT replay");
}

PgWriter::Statement PgWriter::LineInsert(const std::shared_ptr<PgTarget>& target,
                                         const std::string& columns, std::string_view line,
                                         const std::string& returning) {
    std::vector<PgText> values = DecodeCopyLine(line);
    std::string sql = InsertSql(target->table, columns, values.size()) + returning;
    return Statement{target, std::move(sql), std::move(values), false};
}

PgResult PgWriter::Run(const Statement& statement) {
    PgResult result = link_->QueryPrepared(statement.sql, statement.params);
    if (statement.mustTouch && PQntuples(result.get()) == 0) {
        throw EDBEngineError(kPgRecordGone);
    }
    if (statement.returnsXmin) {
        // One transaction writes all its versions with one xid: the list grows per transaction.
        std::vector<std::string>& xids = statement.target->walkXids;
        for (int row = 0; row < PQntuples(result.get()); ++row) {
            const char* xid = PQgetvalue(result.get(), row, 0);
            if (xids.empty() || xids.back() != xid) {
                xids.emplace_back(xid);
            }
        }
    }
    return result;
}

}  // namespace rowsmith
