// The dry run: the same fill as a real run, reads of its own writes included, and a database left
// exactly as it was afterwards, also when an error stops the run half-way.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "engine/database_errors.h"
#include "fill_fixture.h"
#include "model/fill_methods.h"

namespace rowsmith::test {
namespace {

// More records than a PostgreSQL batch holds, so the dry run crosses the points where a real run
// commits.
constexpr std::int32_t kParentRecords = 25000;

class DryRunTest : public FillTest {
protected:
    void SetUp() override {
        CreateTable("p", "id INTEGER PRIMARY KEY, name VARCHAR(12)", {"1, 'a'", "2, 'b'"});
        CreateTable("c", "id INTEGER PRIMARY KEY, p_id INTEGER, n INTEGER",
                    {"1, 1, 5", "2, 2, 6", "3, 1, 7"});
        CreateTable("u", "id INTEGER PRIMARY KEY, v INTEGER UNIQUE");
        TFillTable& parent = AddTable("p", tfEmptyAndFill, kParentRecords);
        SetField(parent, "id", fmAutoIncrement, "");
        SetField(parent, "name", fmRandomString, "12");
        // The child reads its parent as the fill before it left it.
        TFillTable& child = AddTable("c", tfUpdateAndFill, 40);
        SetField(child, "id", fmAutoIncrement, "");
        SetField(child, "p_id", fmMasterTable, "p.id");
        SetField(child, "n", fmRandomInteger, "0 - 1000");
    }

    // Makes the scenario's last table fail on its second record.
    void AddFailingTable() {
        TFillTable& unique = AddTable("u", tfEmptyAndFill, 10);
        SetField(unique, "id", fmAutoIncrement, "");
        SetField(unique, "v", fmSingleValue, "7");
    }

    // The whole database: the file's bytes on SQLite, every table's rows and a checksum of them
    // on a server.
    std::string Snapshot() {
        if (db.Engine() == TestEngine::SQLite) {
            std::ifstream file(db.Folder().File("test.sqlite"), std::ios::binary);
            return std::string(std::istreambuf_iterator<char>(file), {});
        }
        std::string state;
        for (const auto& [table, columns] :
             {std::pair{"p", "id, name"}, {"c", "id, p_id, n"}, {"u", "id, v"}}) {
            const std::string rows = db.Engine() == TestEngine::PostgreSQL
                                         ? std::string("string_agg(t::text, '|' ORDER BY t::text)")
                                         : std::string("group_concat(concat_ws(',', ") + columns +
                                               ") ORDER BY id SEPARATOR '|')";
            state += db.QueryValue("SELECT count(*) || ':' || coalesce(md5(" + rows +
                                   "), '') FROM " + table + " t") +
                     "\n";
        }
        return state;
    }

    // Runs the scenario and gives the error that stopped it, "" when none did.
    std::string FillUp(bool dryRun) {
        engine.SetDryRun(dryRun);
        try {
            engine.FillUp();
        } catch (const EDatabaseError& error) {
            return error.what();
        }
        return "";
    }
};

TEST_P(DryRunTest, LeavesTheDatabaseAsItWasAfterFillingLikeARealRun) {
    const std::string before = Snapshot();
    ASSERT_EQ(FillUp(true), "");
    EXPECT_EQ(Snapshot(), before);
    const std::vector<std::string> dryCalls = reporter.calls;
    const std::int64_t dryWritten = reporter.written;

    reporter.calls.clear();
    ASSERT_EQ(FillUp(false), "");
    EXPECT_EQ(reporter.calls, dryCalls);
    EXPECT_EQ(reporter.written, dryWritten);
    EXPECT_EQ(Count("p"), kParentRecords);
    EXPECT_EQ(Count("c"), 40);
    EXPECT_NE(Snapshot(), before);
}

TEST_P(DryRunTest, AFailingRunLeavesTheDatabaseAsItWasWithTheRealRunsError) {
    AddFailingTable();
    const std::string before = Snapshot();
    const std::string dryError = FillUp(true);
    ASSERT_NE(dryError, "");
    EXPECT_EQ(Snapshot(), before);
    const std::vector<std::string> dryCalls = reporter.calls;
    EXPECT_EQ(dryCalls.back(), "stopped");

    // The connection is fit for work again: a real run fails the same way and keeps what it
    // wrote before the failure. Only the real run can tell what the table holds after it.
    reporter.calls.clear();
    const std::string realError = FillUp(false);
    const std::size_t tableLine = dryError.rfind('\n');
    EXPECT_EQ(realError.substr(0, tableLine), dryError.substr(0, tableLine));
    EXPECT_EQ(dryError.substr(tableLine + 1), "Filling stopped in table \"u\"");
    EXPECT_EQ(realError.substr(tableLine + 1),
              "Filling stopped in table \"u\", which now holds 1 record");
    EXPECT_EQ(reporter.calls, dryCalls);
    EXPECT_EQ(Count("p"), kParentRecords);
    EXPECT_EQ(Count("u"), 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, DryRunTest, ::testing::ValuesIn(TestEngines()), EngineParamName);

}  // namespace
}  // namespace rowsmith::test
