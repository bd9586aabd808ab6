// The date range method on every engine: the values it draws for each form of bound and each
// column type, the precision columns keep, the zone of timestamptz, the check's refusals and
// the pre-run warnings.
#include <gtest/gtest.h>

#include <set>

#include "fill/scenario_lint.h"
#include "fill_fixture.h"
#include "model/fill_methods.h"
#include "text/date_bounds.h"
#include "text/errors.h"

namespace rowsmith::test {
namespace {

DateTimeValue FixedNow() {
    DateTimeValue now;
    EXPECT_TRUE(ParseDateTime("2026-01-01 12:00:00", now));
    return now;
}

// A fraction of a second as the servers print it: "01.0" and "01" are the same second.
std::string WithoutTrailingZeros(std::string text) {
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    return text;
}

class DateRangeTest : public FillTest {
protected:
    // The engine's name for a type written the SQLite way.
    std::string Type(const std::string& type) const {
        if (GetParam() == TestEngine::PostgreSQL && type.rfind("DATETIME", 0) == 0) {
            return "TIMESTAMP" + type.substr(8);
        }
        return type;
    }

    // The distinct values `records` draws of `range` give a fresh column of `type`.
    std::set<std::string> Draw(const std::string& type, const std::string& range,
                               int records = 200) {
        OwnFill fresh(GetParam(), reporter);
        fresh.db.Execute("CREATE TABLE g (id " + fresh.db.AutoIncKeyType() + ", v " + type + ")");
        fresh.filler.SetFixedNow(FixedNow());
        TFillTable& table = fresh.AddTable("g", tfEmptyAndFill, records);
        table.Fields().Items(1).SetFillMethod(fmDateRange);
        table.Fields().Items(1).SetFillValue(range);
        fresh.filler.FillUp();
        std::set<std::string> values;
        for (const auto& row : fresh.db.Query("SELECT v FROM g")) {
            values.insert(WithoutTrailingZeros(row[0]));
        }
        return values;
    }
};

TEST_P(DateRangeTest, EachFormOfBoundReachesBothEndsAndNothingOutside) {
    static const struct {
        const char* type;
        const char* range;
        std::set<std::string> values;
    } cases[] = {
        {"DATE",
         "2024-02-27 - 2024-03-01",
         {"2024-02-27", "2024-02-28", "2024-02-29", "2024-03-01"}},
        {"DATE",
         "2024-03-01 - 2024-02-27",
         {"2024-02-27", "2024-02-28", "2024-02-29", "2024-03-01"}},
        {"DATE", "today-2d - today", {"2025-12-30", "2025-12-31", "2026-01-01"}},
        {"DATE", "today+1w - today+1w", {"2026-01-08"}},
        {"DATE", "today-1y - today-1y", {"2025-01-01"}},
        {"DATE", "2025-12-31 23:00:00 - now", {"2025-12-31", "2026-01-01"}},
        {"TIME", "08:00:58 - 08:01:01", {"08:00:58", "08:00:59", "08:01:00", "08:01:01"}},
        {"TIME", "18:00 - 17:59:58", {"17:59:58", "17:59:59", "18:00:00"}},
        {"DATETIME",
         "2024-12-31 23:59:59 - 2025-01-01T00:00:01",
         {"2024-12-31 23:59:59", "2025-01-01 00:00:00", "2025-01-01 00:00:01"}},
        {"DATETIME",
         "now-2s - now",
         {"2026-01-01 11:59:58", "2026-01-01 11:59:59", "2026-01-01 12:00:00"}},
        {"DATETIME", "today+1w - 2026-01-08", {"2026-01-08 00:00:00"}},
        {"DATETIME",
         "2026-01-01 - today+2s",
         {"2026-01-01 00:00:00", "2026-01-01 00:00:01", "2026-01-01 00:00:02"}},
        {"VARCHAR(30)", "2024-02-28 - 2024-02-29", {"2024-02-28", "2024-02-29"}},
        {"VARCHAR(30)", "now - now-1s", {"2026-01-01T11:59:59", "2026-01-01T12:00:00"}},
        {"VARCHAR(30)", "23:59:59 - 23:59:59", {"23:59:59"}},
        {"VARCHAR(30)",
         "2024-01-01 10:00:00+02:00 - 2024-01-01 08:00:01Z",
         {"2024-01-01T10:00:00+02:00", "2024-01-01T10:00:01+02:00"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Draw(Type(c.type), c.range), c.values) << c.type << " " << c.range;
    }
}

// A whole-day range drawn many times gives every day about equally often.
TEST_P(DateRangeTest, DaysComeEquallyOften) {
    OwnFill fresh(GetParam(), reporter);
    fresh.db.Execute("CREATE TABLE g (id " + fresh.db.AutoIncKeyType() + ", v DATE)");
    TFillTable& table = fresh.AddTable("g", tfEmptyAndFill, 2000);
    table.Fields().Items(1).SetFillMethod(fmDateRange);
    table.Fields().Items(1).SetFillValue("2023-12-30 - 2024-01-02");
    fresh.filler.FillUp();
    const auto rows = fresh.db.Query("SELECT v, COUNT(*) FROM g GROUP BY v ORDER BY v");
    ASSERT_EQ(rows.size(), 4u);
    for (const auto& row : rows) {
        EXPECT_GT(std::stoi(row[1]), 400) << row[0];
        EXPECT_LT(std::stoi(row[1]), 600) << row[0];
    }
}

TEST_P(DateRangeTest, FractionsOfASecondWhereTheBoundsGiveThemAndTheColumnKeepsThem) {
    const TestEngine engine = GetParam();
    const char* const tenths = engine == TestEngine::SQLite ? "DATETIME" : "DATETIME(1)";
    EXPECT_EQ(Draw(Type(tenths), "2024-01-01 00:00:00.8 - 2024-01-01 00:00:01.1"),
              (std::set<std::string>{"2024-01-01 00:00:00.8", "2024-01-01 00:00:00.9",
                                     "2024-01-01 00:00:01", "2024-01-01 00:00:01.1"}));
    // Whole bounds give whole seconds whatever the column keeps.
    EXPECT_EQ(Draw(Type(tenths), "2024-01-01 00:00:00 - 2024-01-01 00:00:01"),
              (std::set<std::string>{"2024-01-01 00:00:00", "2024-01-01 00:00:01"}));
    if (engine == TestEngine::SQLite) {
        // Text keeps every digit the bounds have.
        EXPECT_EQ(Draw("TIME", "08:00:00.995 - 08:00:01.005").size(), 11u);
        return;
    }
    // Hundredths inside bounds given in thousandths; whole seconds inside tenths.
    EXPECT_EQ(Draw("TIME(2)", "08:00:00.995 - 08:00:01.005"), (std::set<std::string>{"08:00:01"}));
    EXPECT_EQ(Draw(Type("DATETIME(0)"), "2024-01-01 00:00:00.8 - 2024-01-01 00:00:02.1"),
              (std::set<std::string>{"2024-01-01 00:00:01", "2024-01-01 00:00:02"}));
}

TEST_P(DateRangeTest, ZonedColumnsTakeUtcUnlessABoundNamesAZone) {
    if (GetParam() != TestEngine::PostgreSQL) {
        GTEST_SKIP() << "only PostgreSQL has timestamptz";
    }
    static const struct {
        const char* range;
        const char* epoch;
    } cases[] = {
        {"2024-01-01 10:00:00 - 2024-01-01 10:00:00", "1704103200"},
        {"2024-01-01 10:00:00+02 - 2024-01-01 10:00:00+02:00", "1704096000"},
        {"2024-01-01 10:00:00-05:00 - 2024-01-01 15:00:00Z", "1704121200"},
    };
    for (const auto& c : cases) {
        OwnFill fresh(GetParam(), reporter);
        fresh.db.Execute("CREATE TABLE g (id SERIAL PRIMARY KEY, v TIMESTAMPTZ)");
        TFillTable& table = fresh.AddTable("g", tfEmptyAndFill, 3);
        table.Fields().Items(1).SetFillMethod(fmDateRange);
        table.Fields().Items(1).SetFillValue(c.range);
        fresh.filler.FillUp();
        EXPECT_EQ(fresh.db.Query("SELECT DISTINCT extract(epoch FROM v)::bigint FROM g"),
                  (std::vector<std::vector<std::string>>{{c.epoch}}))
            << c.range;
    }
}

TEST_P(DateRangeTest, ASeededRunWithAFixedNowRepeats) {
    CreateTable("g", "id " + db.AutoIncKeyType() + ", d DATE, t " + Type("DATETIME"));
    TFillTable& table = AddTable("g", tfEmptyAndFill, 50);
    SetField(table, "d", fmDateRange, "today-365d - today");
    SetField(table, "t", fmDateRange, "now-30d - now");
    engine.SetFixedNow(FixedNow());
    engine.SetFixedSeed(42);
    engine.FillUp();
    const auto first = db.Query("SELECT d, t FROM g ORDER BY id");
    engine.FillUp();
    EXPECT_EQ(db.Query("SELECT d, t FROM g ORDER BY id"), first);
    // Another "now" moves every value by the same days.
    DateTimeValue later = FixedNow();
    later.day += 1;
    engine.SetFixedNow(later);
    engine.FillUp();
    const auto moved = db.Query("SELECT d FROM g ORDER BY id");
    ASSERT_EQ(moved.size(), first.size());
    EXPECT_NE(moved.front()[0], first.front()[0]);
}

TEST_P(DateRangeTest, TheCheckRefusesWhatCannotBeFilledNamingTableColumnAndValue) {
    static const struct {
        const char* column;
        const char* range;
        const char* reason;
    } cases[] = {
        {"d", "08:00 - 18:00", "a time-only range cannot go on a date column"},
        {"d", "2024-02-30 - today",
         "cannot read \"2024-02-30\" as a date, a time or a date and time"},
        {"d", "2024-01-01-2024-02-01", "a range is two bounds with \" - \" between them"},
        {"d", "", "a range is two bounds with \" - \" between them"},
        {"d", "today-9999y - today", "a bound falls outside the years 1 to 9999"},
        {"tm", "today - now", "a time column takes a range of times of day, such as 08:00 - 18:30"},
        {"ts", "08:00 - 18:00", "a time-only range cannot go on a date and time column"},
        {"s", "08:00 - today",
         "one bound is a time of day and the other a date: give both the "
         "same form"},
        {"n", "2024-01-01 - 2024-12-31",
         "a date or time range cannot go on a column of type "
         "Integer"},
    };
    CreateTable("t", "d DATE, tm TIME, ts " + Type("DATETIME") + ", s VARCHAR(30), n INTEGER");
    TFillTable& table = AddTable("t", tfEmptyAndFill, 1);
    for (const auto& c : cases) {
        SetField(table, c.column, fmDateRange, c.range);
        try {
            engine.CheckAllValues();
            ADD_FAILURE() << c.range << " passed";
        } catch (const Exception& error) {
            EXPECT_EQ(error.what(), std::string("Wrong fill value. Table: \"t\". Field: \"") +
                                        c.column + "\". Value: \"" + c.range + "\": " + c.reason);
        }
        EXPECT_FALSE(engine.CheckFillValue(table.FindField(c.column), c.range)) << c.range;
        SetField(table, c.column, fmDontFill, "");
    }
    for (const char* column : {"d", "ts", "s"}) {
        SetField(table, column, fmDateRange, "2024-01-01 - today");
    }
    SetField(table, "tm", fmDateRange, "08:00 - 18:00");
    EXPECT_NO_THROW(engine.CheckAllValues());
}

TEST_P(DateRangeTest, LintWarnsOfRangesBeyondWhatTheTypeKeeps) {
    const bool maria = GetParam() == TestEngine::MariaDB;
    CreateTable("w", "id " + db.AutoIncKeyType() + ", d DATE, ts " +
                         (maria ? "TIMESTAMP NULL" : Type("DATETIME")) + ", s VARCHAR(8)");
    TFillTable& table = AddTable("w", tfEmptyAndFill, 5);
    const auto reasons = [this](std::optional<DateTimeValue> now = std::nullopt) {
        std::vector<std::string> found;
        for (const LintWarning& warning : LintScenario(scenario, {}, now)) {
            found.push_back(warning.column + ": " + warning.reason);
        }
        return found;
    };
    SetField(table, "d", fmDateRange, "2020-01-01 - today");
    SetField(table, "ts", fmDateRange, "2020-01-01 - now");
    EXPECT_EQ(reasons(), std::vector<std::string>{});
    // "today" is the moment the fill will take when one is fixed for it, not the clock's.
    DateTimeValue late;
    ASSERT_TRUE(ParseDateTime("9999-12-01 12:00:00", late));
    SetField(table, "d", fmDateRange, "today - today+1y");
    EXPECT_EQ(reasons(), std::vector<std::string>{});
    std::vector<std::string> lateReasons{
        "d: a bound falls outside the years 1 to 9999: the check will refuse it"};
    if (maria) {
        lateReasons.push_back(
            "ts: range 2020-01-01 - now goes beyond the column's type "
            "(1970-01-01 00:00:01 to 2038-01-19 03:14:07): it will fail");
    }
    EXPECT_EQ(reasons(late), lateReasons);

    SetField(table, "d", fmDateRange, "0900-01-01 - 2000-01-01");
    SetField(table, "ts", fmDateRange, "1960-01-01 - 2000-01-01");
    const std::vector<std::string> beyond =
        maria ? std::vector<std::string>{"d: range 0900-01-01 - 2000-01-01 goes beyond the "
                                         "column's type (1000-01-01 to 9999-12-31): it will fail",
                                         "ts: range 1960-01-01 - 2000-01-01 goes beyond the "
                                         "column's type (1970-01-01 00:00:01 to 2038-01-19 "
                                         "03:14:07): it will fail"}
              : std::vector<std::string>{};
    EXPECT_EQ(reasons(), beyond);

    // Numbers still cannot go on a date column; a time range and text too long are told too.
    SetField(table, "d", fmRandomInteger, "1 - 9");
    SetField(table, "ts", fmDateRange, "08:00 - 09:00");
    SetField(table, "s", fmDateRange, "now-1d - now");
    EXPECT_EQ(reasons(),
              (std::vector<std::string>{
                  "d: a date or time column cannot take what this method writes: every record "
                  "will fail",
                  "ts: a time-only range cannot go on a date and time column: the check will "
                  "refuse it",
                  "s: its text has 19 characters, more than the column's 8: it will be cut"}));
}

INSTANTIATE_TEST_SUITE_P(Engines, DateRangeTest, ::testing::ValuesIn(TestEngines()),
                         EngineParamName);

}  // namespace
}  // namespace rowsmith::test
