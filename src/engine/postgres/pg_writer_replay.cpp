// PgWriter: what happens when the server refuses a batch: the transaction is rolled back and
// its changes replayed one at a time, each under a savepoint, up to the one that fails.
#include <algorithm>

#include "engine/postgres/pg_copy_text.h"
#include "engine/postgres/pg_writer.h"

namespace rowsmith {

void PgWriter::Recover() {
    const std::vector<Step> steps = std::move(steps_);
    const std::string copyText = std::move(copyText_);
    Forget();
    link_->AbandonCopy();
    if (link_->Alive()) {
        try {
            link_->Execute(RollbackSql());
        } catch (const EDBEngineError&) {
            // The failure below is the one worth reporting.
        }
    }
    if (steps.empty() || !link_->Alive()) {
        // The failure being handled, as the class it has (a lock timeout, say).
        throw;
    }
    try {
        Replay(steps, copyText);
    } catch (const EDBEngineError&) {
        if (link_->Alive() && link_->InTransaction()) {
            try {
                link_->Execute("ROLLBACK");
            } catch (const EDBEngineError&) {
                // Nothing was left open.
            }
        }
        throw;
    }
}

void PgWriter::Replay(const std::vector<Step>& steps, const std::string& copyText) {
    link_->Execute(BeginSql());
    std::vector<const PgTarget*> locked;
    for (const Step& step : steps) {
        const PgTarget& target = *std::visit([](const auto& s) { return s.target.get(); }, step);
        if (target.exclusive && std::find(locked.begin(), locked.end(), &target) == locked.end()) {
            link_->Execute("LOCK TABLE " + target.table + " IN EXCLUSIVE MODE");
            locked.push_back(&target);
        }
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
    link_->Execute(CommitSql());
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
        link_->Execute(std::string("ROLLBACK TO SAVEPOINT replay; ") + CommitSql());
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
