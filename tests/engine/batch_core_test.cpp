// The batch core on a real SQLite database: a refused batch replayed one change at a time keeps
// exactly the changes before the refused one, whether each batch is a transaction or the run is
// one; a dry run's batches are savepoints that its end rolls back; locks go with their batch.
#include "engine/batch_core.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "temp_dir.h"

namespace rowsmith::test {
namespace {

// One SQLite connection as the batch core sees it. SQLite, like MariaDB, undoes a refused
// statement alone.
class SqliteBatchLink final : public BatchLink {
public:
    explicit SqliteBatchLink(const std::string& path) { sqlite3_open(path.c_str(), &db_); }
    ~SqliteBatchLink() override { sqlite3_close(db_); }
    SqliteBatchLink(const SqliteBatchLink&) = delete;
    SqliteBatchLink& operator=(const SqliteBatchLink&) = delete;

    void Execute(const std::string& sql) override {
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            throw EDBEngineError(sqlite3_errmsg(db_));
        }
    }
    bool Alive() const override { return true; }
    bool TransactionFailed() const override { return false; }

    void Insert(int code, const std::string& name) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db_, "INSERT INTO parts (code, name) VALUES (?, ?)", -1, &statement,
                           nullptr);
        sqlite3_bind_int(statement, 1, code);
        if (!name.empty()) {
            sqlite3_bind_text(statement, 2, name.c_str(), -1, SQLITE_TRANSIENT);
        }
        const int rc = sqlite3_step(statement);
        sqlite3_finalize(statement);
        if (rc != SQLITE_DONE) {
            throw EDBEngineError(sqlite3_errmsg(db_));
        }
    }
    // The codes another connection sees, in order.
    std::vector<int> Committed(const std::string& path) const {
        sqlite3* reader = nullptr;
        sqlite3_open(path.c_str(), &reader);
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(reader, "SELECT code FROM parts ORDER BY code", -1, &statement, nullptr);
        std::vector<int> codes;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            codes.push_back(sqlite3_column_int(statement, 0));
        }
        sqlite3_finalize(statement);
        sqlite3_close(reader);
        return codes;
    }

private:
    sqlite3* db_ = nullptr;
};

// A part to append; a part without a name is refused by the table.
struct Part {
    int code;
    std::string name;
};

class PartSender final : public ChangeBatch<Part>::Handler {
public:
    explicit PartSender(SqliteBatchLink& link) : link_(link) {}
    void Prepare(const Part& part) override {
        calls.push_back("prepare " + std::to_string(part.code));
    }
    void Put(const Part& part) override {
        calls.push_back("put " + std::to_string(part.code));
        link_.Insert(part.code, part.name);
    }
    std::vector<std::string> calls;

private:
    SqliteBatchLink& link_;
};

class BatchCoreTest : public ::testing::Test {
protected:
    BatchCoreTest() : path_(dir_.File("parts.sqlite")), link_(path_) {
        link_.Execute("CREATE TABLE parts (code INTEGER PRIMARY KEY, name TEXT NOT NULL)");
    }

    // Parts 1..count, the one at `refused` without a name.
    static ChangeBatch<Part> Parts(int count, int refused) {
        ChangeBatch<Part> batch;
        for (int code = 1; code <= count; ++code) {
            batch.Add(Part{code, code == refused ? "" : "bolt " + std::to_string(code)});
        }
        return batch;
    }
    static std::vector<int> Codes(int first, int last) {
        std::vector<int> codes;
        for (int code = first; code <= last; ++code) {
            codes.push_back(code);
        }
        return codes;
    }

    TempDir dir_;
    std::string path_;
    SqliteBatchLink link_;
};

TEST_F(BatchCoreTest, AReplayKeepsExactlyTheChangesBeforeTheRefusedOne) {
    static const struct {
        int refused;
        bool runIsOneTransaction;
    } cases[] = {{1, false}, {4, false}, {7, false}, {1, true}, {4, true}, {7, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE("refused " + std::to_string(c.refused) +
                     (c.runIsOneTransaction ? ", one transaction" : ", batch transactions"));
        link_.Execute("DELETE FROM parts");
        BatchCore core(link_, {"BEGIN", c.runIsOneTransaction});
        core.Depth().Enter();
        PartSender sender(link_);
        const ChangeBatch<Part> batch = Parts(7, c.refused);
        try {
            core.Replay(batch, batch.Size(), sender);
            FAIL() << "the refusal was not raised";
        } catch (const EDBEngineError& error) {
            EXPECT_EQ(std::string(error.what()), "NOT NULL constraint failed: parts.name");
        }
        EXPECT_FALSE(core.InBatch());
        core.KeepWritten();
        EXPECT_EQ(link_.Committed(path_), Codes(1, c.refused - 1));
        core.Depth().Leave();
    }
}

TEST_F(BatchCoreTest, AReplayWritesTheChangesItIsToldToKeepAndNoMore) {
    BatchCore core(link_, {"BEGIN", false});
    core.Depth().Enter();
    PartSender sender(link_);
    // The fourth change met the loss of the connection: those before it are written again.
    const ChangeBatch<Part> batch = Parts(6, 0);
    core.Replay(batch, 3, sender);
    EXPECT_FALSE(core.InBatch());
    EXPECT_EQ(link_.Committed(path_), Codes(1, 3));
}

TEST_F(BatchCoreTest, EveryChangeIsPreparedBeforeTheFirstIsWritten) {
    BatchCore core(link_, {"BEGIN", false});
    core.Depth().Enter();
    PartSender sender(link_);
    const ChangeBatch<Part> batch = Parts(3, 2);
    EXPECT_THROW(core.Replay(batch, batch.Size(), sender), EDBEngineError);
    EXPECT_EQ(sender.calls,
              (std::vector<std::string>{"prepare 1", "prepare 2", "prepare 3", "put 1", "put 2"}));
}

TEST_F(BatchCoreTest, ADryRunsBatchesAreSavepointsItsEndRollsBack) {
    for (const bool runIsOneTransaction : {false, true}) {
        SCOPED_TRACE(runIsOneTransaction ? "one transaction" : "batch transactions");
        BatchCore core(link_, {"BEGIN", runIsOneTransaction});
        core.BeginDryRun();
        core.Depth().Enter();
        core.OpenBatch();
        link_.Insert(1, "washer");
        core.ReleaseBatch();
        PartSender sender(link_);
        const ChangeBatch<Part> batch = Parts(3, 3);
        EXPECT_THROW(core.Replay(batch, batch.Size(), sender), EDBEngineError);
        core.KeepWritten();
        core.Depth().Leave();
        EXPECT_TRUE(core.Depth().LeaveDry());
        EXPECT_FALSE(core.InRun());
        link_.Execute("ROLLBACK");
        EXPECT_EQ(link_.Committed(path_), std::vector<int>{});
    }
}

TEST_F(BatchCoreTest, TheLocksOfARolledBackBatchGoWithIt) {
    BatchCore core(link_, {"BEGIN", true});
    core.Depth().Enter();
    core.OpenBatch();
    core.NoteLock("parts");
    core.ReleaseBatch();
    core.OpenBatch();
    core.NoteLock("orders");
    core.RollBackBatch();
    EXPECT_TRUE(core.Locked("parts"));
    EXPECT_FALSE(core.Locked("orders"));
    core.CommitRun();
    EXPECT_FALSE(core.Locked("parts"));
}

}  // namespace
}  // namespace rowsmith::test
