#include <string>

#include "mariadb_fixture.h"

namespace rowsmith::test {
namespace {

TEST_F(MariaDriverTest, WholeRunIsCommittedAtItsEnd) {
    db_->Execute("CREATE TABLE items (k integer PRIMARY KEY, v text)");
    auto table = Open("items");
    EXPECT_EQ(FillRun(*table, 4500,
                      [](int k) {
                          return std::vector<FieldValue>{std::int64_t{k}, std::string("row")};
                      }),
              "");
    EXPECT_EQ(Count("items"), 4500);
}

// Without transactions a failing batch could not be undone: the table is refused before anything
// is written, while a write outside a fill still goes through.
TEST_F(MariaDriverTest, MyIsamTableIsRefusedForAFill) {
    db_->Execute("CREATE TABLE flat (k integer PRIMARY KEY, v text) ENGINE=MyISAM");
    auto table = Open("flat");
    const std::string error = FillRun(*table, 10, [](int k) {
        return std::vector<FieldValue>{std::int64_t{k}, std::string("row")};
    });
    EXPECT_NE(error.find("MyISAM"), std::string::npos) << error;
    EXPECT_EQ(Count("flat"), 0);
    table->Insert({std::int64_t{1}, std::string("one")}, {true, true});
    EXPECT_EQ(Count("flat"), 1);
}

TEST_F(MariaDriverTest, UpdateAndDeleteOfAGoneRecordAreErrors) {
    db_->Execute("CREATE TABLE items (k integer PRIMARY KEY, v text)");
    db_->Execute("INSERT INTO items VALUES (1, 'a'), (2, 'b')");
    auto table = Open("items");
    RecordKey key{{std::int64_t{1}}};
    // Writing the value a record already has still finds it.
    table->Update(key, {FieldValue{}, std::string("a")}, {false, true});
    table->Update(key, {std::int64_t{5}, std::string("z")}, {true, true});
    EXPECT_EQ(std::get<std::int64_t>(key.parts[0]), 5);
    EXPECT_EQ(db_->QueryValue("SELECT v FROM items WHERE k = 5"), "z");
    RecordKey gone{{std::int64_t{1}}};
    EXPECT_THROW(table->Update(gone, {FieldValue{}, std::string("x")}, {false, true}),
                 EDBEngineError);
    EXPECT_THROW(table->Delete(gone), EDBEngineError);
    table->Delete(key);
    EXPECT_EQ(Count("items"), 1);
}

// A walk in a run reads ahead of its pages and writes its updates in sets of many pages, each
// applied over the range of keys the set spans. Every record is met once and written once, though
// the keys have gaps; a record another connection deletes in the middle of a set stops the run with
// exactly the records before it written. A set that fails is written again one record at a time,
// which also gives the right rows, so the count of single-record UPDATEs tells whether the sets
// went through (other tests on the server may add a few).
TEST_F(MariaDriverTest, AnUpdateWalkWritesEveryRecordOnceAcrossSets) {
    constexpr int kRecords = 25000;
    const auto singleUpdates = [&] {
        return std::stol(
            db_->QueryValue("SELECT variable_value FROM information_schema.global_status "
                            "WHERE variable_name = 'COM_UPDATE'"));
    };
    for (const int goneAt : {0, 15000}) {
        SCOPED_TRACE(goneAt);
        db_->Execute("DROP TABLE IF EXISTS items");
        db_->Execute("CREATE TABLE items (k integer PRIMARY KEY, v varchar(20))");
        db_->Execute("INSERT INTO items SELECT 2 * seq, 'old' FROM seq_1_to_" +
                     std::to_string(kRecords));
        auto table = Open("items");
        std::string error;
        int met = 0;
        const long singleBefore = singleUpdates();
        Conn().BeginFillRun();
        try {
            std::vector<Record> page = table->ReadPage(nullptr, 1000);
            while (!page.empty()) {
                for (Record& record : page) {
                    if (++met == goneAt) {
                        db_->Execute("DELETE FROM items WHERE k = " + std::to_string(2 * met));
                    }
                    const std::int64_t k = std::get<std::int64_t>(record.key.parts[0]);
                    table->Update(record.key, {FieldValue{}, "new " + std::to_string(k)},
                                  {false, true});
                }
                const RecordKey last = page.back().key;
                page = table->ReadPage(&last, 1000);
            }
        } catch (const EDBEngineError& e) {
            error = e.what();
        }
        try {
            Conn().EndFillRun();
        } catch (const EDBEngineError& e) {
            error = error.empty() ? e.what() : error;
        }
        const int written = goneAt == 0 ? kRecords : goneAt - 1;
        EXPECT_EQ(error.empty(), goneAt == 0) << error;
        if (goneAt == 0) {
            EXPECT_EQ(met, kRecords);
            EXPECT_LT(singleUpdates() - singleBefore, kRecords / 2);
        }
        EXPECT_EQ(db_->QueryValue("SELECT count(*) FROM items WHERE v = concat('new ', k)"),
                  std::to_string(written));
        EXPECT_EQ(db_->QueryValue("SELECT coalesce(max(k), 0) FROM items WHERE v <> 'old'"),
                  std::to_string(2 * written));
    }
}

}  // namespace
}  // namespace rowsmith::test
