// rowsmith-fill runs that meet on one table of a server: two fills at once take turns, and a
// fill killed in the middle of a table leaves it whole.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include "test_database.h"

namespace rowsmith::test {
namespace {

struct Finished {
    int status = -1;
    std::string err;
};

class CliLockTest : public ::testing::TestWithParam<TestEngine> {
protected:
    CliLockTest() : db(GetParam()) {}

    void SetUp() override {
        db.Execute("CREATE TABLE t (id " + db.AutoIncKeyType() + ", s VARCHAR(10))");
        db.Execute("INSERT INTO t (s) VALUES ('old'), ('old'), ('old')");
    }

    // A scenario that empties t and fills it with `records` records whose s is `marker`.
    std::string Scenario(const std::string& marker, int records) {
        const std::string path = db.Folder().File(marker + ".scn");
        WriteFile(path, "[Main]\r\nAliasName=" + db.Alias() +
                            "\r\nTables=t\r\n\r\n"
                            "[Table t]\r\nFieldMethod=0\r\nRecCount=" +
                            std::to_string(records) +
                            "\r\nFields=id,s\r\n\r\n"
                            "[Field t.id]\r\nFillMethod=0\r\nFillValue=\r\n\r\n"
                            "[Field t.s]\r\nFillMethod=1\r\nFillValue=" +
                            marker + "\r\n\r\n");
        return path;
    }

    // Starts rowsmith-fill on `scenario`, its standard error going to a file named after it.
    pid_t Start(const std::string& scenario) {
        const std::string err = scenario + ".err";
        const pid_t child = fork();
        if (child == 0) {
            const int in = open("/dev/null", O_RDONLY);
            const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(in, 0);
            dup2(in, 1);
            dup2(errFd, 2);
            execl(ROWSMITH_FILL_PATH, ROWSMITH_FILL_PATH, "--aliases", db.ConfigFile().c_str(),
                  scenario.c_str(), static_cast<char*>(nullptr));
            _exit(126);
        }
        return child;
    }

    Finished Wait(pid_t child, const std::string& scenario) {
        int raw = 0;
        waitpid(child, &raw, 0);
        return Finished{WIFEXITED(raw) ? WEXITSTATUS(raw) : -WTERMSIG(raw),
                        ReadFile(scenario + ".err")};
    }

    // s and the number of records with it, by s.
    std::vector<std::vector<std::string>> Kept() {
        return db.Query("SELECT s, count(*) FROM t GROUP BY s ORDER BY s");
    }

    TestDatabase db;
};

// The second fill waits for the first and runs after it, or gives up after LOCK TIMEOUT saying
// so, having written nothing: the table holds exactly one fill's records either way.
TEST_P(CliLockTest, TwoFillsOfOneTableTakeTurns) {
    constexpr int kRecords = 100000;
    const std::string first = Scenario("first", kRecords);
    const std::string second = Scenario("second", kRecords);
    const pid_t firstChild = Start(first);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const pid_t secondChild = Start(second);
    const Finished firstRun = Wait(firstChild, first);
    const Finished secondRun = Wait(secondChild, second);

    std::vector<std::string> succeeded;
    for (const auto& [marker, run] :
         {std::pair{"first", firstRun}, std::pair{"second", secondRun}}) {
        SCOPED_TRACE(marker);
        if (run.status == 0) {
            succeeded.push_back(marker);
        } else {
            EXPECT_EQ(run.status, 1);
            EXPECT_NE(run.err.find("stayed locked by another connection longer than the alias's "
                                   "LOCK TIMEOUT"),
                      std::string::npos)
                << run.err;
        }
    }
    ASSERT_FALSE(succeeded.empty()) << firstRun.err << secondRun.err;
    const auto kept = Kept();
    ASSERT_EQ(kept.size(), 1u) << ::testing::PrintToString(kept);
    EXPECT_NE(std::find(succeeded.begin(), succeeded.end(), kept[0][0]), succeeded.end());
    EXPECT_EQ(kept[0][1], std::to_string(kRecords));
}

// kill -9 in the middle of a table: on PostgreSQL the table keeps exactly its old records; on
// MariaDB the transactions committed before, the emptying with the first, never a mixture.
TEST_P(CliLockTest, AFillKilledInTheMiddleOfATableLeavesNoMixture) {
    const std::string scenario = Scenario("new", 5000000);
    const pid_t child = Start(scenario);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    kill(child, SIGKILL);
    EXPECT_EQ(Wait(child, scenario).status, -SIGKILL);
    // The server ends the killed connection's transaction when it notices; a new one waits for it.
    const auto kept = db.Query("SELECT count(*) FROM t WHERE s = 'old'");
    const long old = std::stol(kept[0][0]);
    const long added = std::stol(db.QueryValue("SELECT count(*) FROM t WHERE s = 'new'"));
    if (GetParam() == TestEngine::PostgreSQL) {
        EXPECT_EQ(old, 3);
        EXPECT_EQ(added, 0);
    } else {
        EXPECT_TRUE((old == 3 && added == 0) || old == 0) << old << " " << added;
    }
}

std::vector<TestEngine> ServerEngines() {
    std::vector<TestEngine> engines = TestEngines();
    engines.erase(std::find(engines.begin(), engines.end(), TestEngine::SQLite));
    return engines;
}

// Without a test server there is nothing to run.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(CliLockTest);
INSTANTIATE_TEST_SUITE_P(Servers, CliLockTest, ::testing::ValuesIn(ServerEngines()),
                         [](const auto& info) { return EngineName(info.param); });

}  // namespace
}  // namespace rowsmith::test
