#include <variant>

#include "engine/database_errors.h"
#include "pg_fixture.h"

namespace rowsmith::test {
namespace {

TEST_F(PgDriverTest, MapsCatalogTypes) {
    db_->Execute(
        "CREATE DOMAIN short_name AS varchar(12);"
        "CREATE TABLE typed (id serial PRIMARY KEY, big bigint GENERATED ALWAYS AS IDENTITY,"
        " s smallint, i integer, l bigint, r real, d double precision, m money,"
        " n numeric(10,2), v varchar(20), c char(3), t text, dn short_name, dt date, tm time,"
        " ts timestamp, tz timestamptz, b boolean, y bytea, u uuid)");
    static const struct {
        const char* name;
        TFieldType type;
        int size;
        bool wide;
    } cases[] = {
        {"id", ftAutoInc, 0, false},  {"big", ftAutoInc, 0, true},  {"s", ftSmallint, 0, false},
        {"i", ftInteger, 0, false},   {"l", ftInteger, 0, true},    {"r", ftFloat, 0, false},
        {"d", ftFloat, 0, false},     {"m", ftCurrency, 0, false},  {"n", ftBCD, 0, false},
        {"v", ftString, 20, false},   {"c", ftString, 3, false},    {"t", ftString, 0, false},
        {"dn", ftString, 12, false},  {"dt", ftDate, 0, false},     {"tm", ftTime, 0, false},
        {"ts", ftDateTime, 0, false}, {"tz", ftDateTime, 0, false}, {"b", ftBoolean, 0, false},
        {"y", ftBlob, 0, false},      {"u", ftString, 0, false},
    };
    auto table = Open("typed");
    const auto& columns = table->Columns();
    ASSERT_EQ(columns.size(), std::size(cases));
    for (std::size_t i = 0; i < columns.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(columns[i].name, cases[i].name);
        EXPECT_EQ(columns[i].type, cases[i].type);
        EXPECT_EQ(columns[i].size, cases[i].size);
        EXPECT_EQ(columns[i].wide, cases[i].wide);
    }
    EXPECT_EQ(columns[9].declaredType, "character varying(20)");
}

// Every kind of value comes back as it went in, whether it was written by a single INSERT or
// through the COPY stream of a fill run, and when an update writes it. Money comes back as an
// exact amount, the largest one included, whether it went in as one or as a real.
TEST_F(PgDriverTest, ValuesRoundTripInAndOutsideARun) {
    db_->Execute(
        "CREATE TABLE vals (k integer PRIMARY KEY, l bigint, d double precision, m money,"
        " n numeric(12,4), b boolean, dt date, tm time, ts timestamp, t text, y bytea)");
    const std::vector<FieldValue> values{
        std::int64_t{0},
        std::int64_t{9007199254740993},
        0.1,
        Currency{9223372036854775807u, false, 2},
        -12.5,
        std::int64_t{1},
        std::string("2024-02-29"),
        std::string("23:59:58"),
        std::string("1999-12-31 12:00:01"),
        std::string("tab\there\nnew line \\N back\\slash \"quoted\" 'single'"),
        std::string("\0\x01\xff\\ bytes", 10),
    };
    for (bool inRun : {false, true}) {
        SCOPED_TRACE(inRun ? "in a run" : "outside a run");
        db_->Execute("DELETE FROM vals");
        auto table = Open("vals");
        if (inRun) {
            Conn().BeginFillRun();
        }
        table->Insert(values, AllAssigned(values.size()));
        std::vector<FieldValue> empties(values.size());
        empties[0] = std::int64_t{1};
        table->Insert(empties, AllAssigned(values.size()));
        if (inRun) {
            Conn().EndFillRun();
        }
        const std::vector<Record> records = ReadAll(*table);
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[0].values, values);
        EXPECT_EQ(records[1].values, empties);
        EXPECT_EQ(db_->QueryValue("SELECT m::text FROM vals WHERE k = 0"),
                  "$92,233,720,368,547,758.07");

        // An update binds the same texts.
        std::vector<FieldValue> updated = values;
        updated[0] = std::int64_t{1};
        updated[3] = -1234567.25;
        RecordKey key = records[1].key;
        if (inRun) {
            Conn().BeginFillRun();
        }
        table->Update(key, updated, AllAssigned(values.size()));
        if (inRun) {
            Conn().EndFillRun();
        }
        updated[3] = Currency{123456725, true, 2};
        EXPECT_EQ(ReadAll(*table).at(1).values, updated);
    }
}

TEST_F(PgDriverTest, UnassignedColumnsTakeTheirDefaults) {
    db_->Execute("CREATE TABLE defs (id serial PRIMARY KEY, name text DEFAULT 'none', n int)");
    auto table = Open("defs");
    Conn().BeginFillRun();
    table->Insert({std::monostate{}, std::monostate{}, std::int64_t{7}}, {false, false, true});
    table->Insert({}, {false, false, false});
    Conn().EndFillRun();
    EXPECT_EQ(db_->Query("SELECT id, name, n FROM defs ORDER BY id"),
              (std::vector<std::vector<std::string>>{{"1", "none", "7"}, {"2", "none", ""}}));
}

TEST_F(PgDriverTest, ZeroByteInTextIsRefusedNotCut) {
    db_->Execute("CREATE TABLE texts (t text)");
    auto table = Open("texts");
    EXPECT_THROW(table->Insert({std::string("a\0b", 3)}, {true}), EDBEngineError);
    Conn().BeginFillRun();
    EXPECT_THROW(table->Insert({std::string("a\0b", 3)}, {true}), EDBEngineError);
    Conn().EndFillRun();
    EXPECT_EQ(Count("texts"), 0);
}

}  // namespace
}  // namespace rowsmith::test
