#include <string>

#include "engine/field_conversion.h"
#include "mariadb_fixture.h"

namespace rowsmith::test {
namespace {

TEST_F(MariaDriverTest, TypesMapFromTheInformationSchema) {
    db_->Execute(
        "CREATE TABLE t (id bigint AUTO_INCREMENT PRIMARY KEY, ti tinyint, tu tinyint unsigned,"
        " si smallint, su smallint unsigned, mi mediumint, i int, iu int unsigned,"
        " bu bigint unsigned, f float, d double, n decimal(10,2), c char(3), vc varchar(40),"
        " tx text, dt date, tm time, dtm datetime, ts timestamp NULL, bo boolean, b1 bit(1),"
        " bl blob, e enum('x','y'), st set('p','q'))");
    auto table = Open("t");
    const std::vector<ColumnInfo>& c = table->Columns();
    ASSERT_EQ(c.size(), 24u);
    const TFieldType expected[] = {
        ftAutoInc, ftSmallint, ftWord,     ftSmallint, ftWord,    ftInteger, ftInteger, ftInteger,
        ftInteger, ftFloat,    ftFloat,    ftBCD,      ftString,  ftString,  ftString,  ftDate,
        ftTime,    ftDateTime, ftDateTime, ftBoolean,  ftBoolean, ftBlob,    ftString,  ftString};
    for (std::size_t i = 0; i < c.size(); ++i) {
        EXPECT_EQ(c[i].type, expected[i]) << c[i].name;
    }
    EXPECT_TRUE(c[0].wide);
    EXPECT_FALSE(c[6].wide);
    EXPECT_TRUE(c[7].wide);
    EXPECT_EQ(c[12].size, 3);
    EXPECT_EQ(c[13].size, 40);
    EXPECT_EQ(c[14].size, 0);
}

TEST_F(MariaDriverTest, ValuesGoBothWaysUnchanged) {
    db_->Execute(
        "CREATE TABLE t (id integer AUTO_INCREMENT PRIMARY KEY, bu bigint unsigned, f double,"
        " n decimal(10,2), vc varchar(10), dtm datetime, bo boolean, b1 bit(1), bl blob)");
    auto table = Open("t");
    const std::string bytes("\0\x01\xff'\"`", 6);
    table->Insert(
        {FieldValue{}, std::string("18446744073709551615"), 2.5, 1234.5, std::string("grüße"),
         std::string("2024-02-29 13:14:15"), std::int64_t{1}, std::int64_t{1}, bytes},
        std::vector<bool>(9, true));
    const RecordKey key = table->LastInsertKey();
    Record record;
    ASSERT_TRUE(table->ReadRecord(key, record));
    EXPECT_EQ(std::get<std::int64_t>(record.values[0]), 1);
    EXPECT_EQ(static_cast<std::uint64_t>(std::get<std::int64_t>(record.values[1])),
              18446744073709551615u);
    EXPECT_EQ(std::get<double>(record.values[2]), 2.5);
    EXPECT_EQ(std::get<double>(record.values[3]), 1234.5);
    EXPECT_EQ(std::get<std::string>(record.values[4]), "grüße");
    EXPECT_EQ(std::get<std::string>(record.values[5]), "2024-02-29 13:14:15");
    EXPECT_EQ(std::get<std::int64_t>(record.values[6]), 1);
    EXPECT_EQ(std::get<std::int64_t>(record.values[7]), 1);
    EXPECT_EQ(std::get<std::string>(record.values[8]), bytes);
}

// BIGINT UNSIGNED holds integers up to 2^64 - 1, exactly: read, written, and walked by, where
// a comparison of their digits as text would take 2^63 - 1 and 2^63 for the same number.
TEST_F(MariaDriverTest, UnsignedBigintsAreExactIntegers) {
    db_->Execute("CREATE TABLE u (k bigint unsigned PRIMARY KEY, v integer)");
    db_->Execute(
        "INSERT INTO u VALUES (9223372036854775807, 1), (9223372036854775808, 2),"
        " (18446744073709551615, 3)");
    auto table = Open("u");
    const ColumnInfo& k = table->Columns()[0];
    std::vector<std::string> keys;
    RecordKey after;
    for (std::vector<Record> page = table->ReadPage(nullptr, 1); !page.empty();
         page = table->ReadPage(&after, 1)) {
        keys.push_back(ValueText(k, page[0].values[0]));
        after = page[0].key;
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"9223372036854775807", "9223372036854775808",
                                              "18446744073709551615"}));

    FieldValue value;
    StoreText(k, "18446744073709551614", value);
    table->Insert({value, std::int64_t{4}}, {true, true});
    table->Update(after, {FieldValue{}, std::int64_t{9}}, {false, true});
    EXPECT_EQ(db_->QueryValue("SELECT group_concat(v ORDER BY k) FROM u WHERE k > 1e19"), "4,9");
    EXPECT_THROW(StoreText(k, "-1", value), EDatabaseError);
    EXPECT_ANY_THROW(StoreText(k, "18446744073709551616", value));
}

// Digits of a second are kept where the column keeps them and refused where the server would cut
// them without a word; a time reads back as it was written.
TEST_F(MariaDriverTest, FractionsOfASecondAreKeptOrRefused) {
    db_->Execute(
        "CREATE TABLE t (id integer AUTO_INCREMENT PRIMARY KEY, d0 datetime, d3 datetime(3),"
        " t0 time, t2 time(2), ts6 timestamp(6) NULL)");
    auto table = Open("t");
    const auto insert = [&](std::size_t column, const std::string& text) {
        std::vector<FieldValue> values(6);
        std::vector<bool> assigned(6, false);
        values[column] = text;
        assigned[column] = true;
        table->Insert(values, assigned);
        Record record;
        EXPECT_TRUE(table->ReadRecord(table->LastInsertKey(), record));
        return std::get<std::string>(record.values[column]);
    };
    EXPECT_EQ(insert(1, "2024-02-29 13:14:15"), "2024-02-29 13:14:15");
    EXPECT_EQ(insert(1, "2024-02-29 13:14:15.000"), "2024-02-29 13:14:15");
    EXPECT_EQ(insert(2, "2024-02-29 13:14:15.123"), "2024-02-29 13:14:15.123");
    EXPECT_EQ(insert(2, "2024-02-29 13:14:15.5"), "2024-02-29 13:14:15.5");
    EXPECT_EQ(insert(2, "2024-02-29 13:14:15"), "2024-02-29 13:14:15");
    EXPECT_EQ(insert(4, "10:11:12.25"), "10:11:12.25");
    EXPECT_EQ(insert(5, "2024-02-29 13:14:15.123456"), "2024-02-29 13:14:15.123456");
    const std::int64_t before = Count("t");
    for (const auto& [column, text] :
         {std::pair<std::size_t, const char*>{1, "2024-02-29 13:14:15.5"},
          {2, "2024-02-29 13:14:15.1234"},
          {3, "10:11:12.7"},
          {4, "10:11:12.125"}}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(insert(column, text), EDBEngineError);
    }
    EXPECT_EQ(Count("t"), before);
}

// Strict mode: what the server would otherwise clamp, cut or zero is refused.
TEST_F(MariaDriverTest, StrictModeRefusesWhatWouldBeChanged) {
    db_->Execute(
        "CREATE TABLE t (k integer AUTO_INCREMENT PRIMARY KEY, tu tinyint unsigned,"
        " su smallint unsigned, iu int unsigned, vc varchar(3), d date, e enum('x','y'))");
    auto table = Open("t");
    const struct {
        std::size_t column;
        FieldValue value;
        const char* message;
    } refused[] = {
        {1, std::int64_t{256}, "Out of range"},
        {1, std::int64_t{-1}, "Out of range"},
        {2, std::int64_t{65536}, "Out of range"},
        {3, std::int64_t{4294967296}, "Out of range"},
        {4, std::string("abcd"), "Data too long"},
        {5, std::string("2024-02-30"), "Incorrect date value"},
        {6, std::string("z"), "Data truncated"},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(table->Columns()[r.column].name);
        std::vector<FieldValue> values(7);
        std::vector<bool> assigned(7, false);
        values[r.column] = r.value;
        assigned[r.column] = true;
        try {
            table->Insert(values, assigned);
            ADD_FAILURE() << "the server took it";
        } catch (const EDBEngineError& error) {
            EXPECT_NE(std::string(error.what()).find(r.message), std::string::npos) << error.what();
        }
    }
    // The real ranges' ends are taken.
    table->Insert({FieldValue{}, std::int64_t{255}, std::int64_t{65535}, std::int64_t{4294967295},
                   std::string("abc"), std::string("2024-02-29"), std::string("y")},
                  std::vector<bool>(7, true));
    EXPECT_EQ(Count("t"), 1);
    EXPECT_EQ(db_->QueryValue("SELECT concat(tu, ' ', su, ' ', iu) FROM t"),
              "255 65535 4294967295");
}

}  // namespace
}  // namespace rowsmith::test
