// CursorField conversions on a real database: what WriteString and WriteInteger store for each
// column type, what ReadString gives back, and the messages for what a column refuses.
#include <functional>
#include <utility>
#include <vector>

#include "engine/database_errors.h"
#include "engine_fixture.h"
#include "text/conversions.h"

namespace rowsmith::test {
namespace {

class CursorFieldTest : public EngineTest {
protected:
    void SetUp() override {
        db_.Execute("CREATE TABLE kinds (id " + db_.AutoIncKeyType() +
                    ", s SMALLINT, i INTEGER, b BIGINT, v VARCHAR(5), t TEXT, f DOUBLE PRECISION, "
                    "m NUMERIC(12,2), d DATE, tm TIME, ts TIMESTAMP, ok BOOLEAN)");
        cursor_ = OpenTable("kinds");
    }

    // Writes one value into a new record, posts it and reads it back from the posted record.
    std::string RoundTrip(const std::string& column, const std::string& text) {
        cursor_->Append();
        cursor_->FieldNamed(column).WriteString(text);
        cursor_->Post();
        return cursor_->FieldNamed(column).ReadString();
    }

    std::string WriteIntegerAndRead(const std::string& column, std::int32_t value) {
        cursor_->Append();
        cursor_->FieldNamed(column).WriteInteger(value);
        cursor_->Post();
        return cursor_->FieldNamed(column).ReadString();
    }

    std::unique_ptr<TableCursor> cursor_;
};

TEST_P(CursorFieldTest, TextsReadBackAsTheColumnStoresThem) {
    static const struct {
        const char* column;
        const char* written;
        const char* read;
    } cases[] = {
        {"s", "-32768", "-32768"},
        {"s", " 12", "12"},
        {"s", "$10", "16"},
        {"i", "2147483647", "2147483647"},
        {"i", "$FFFFFFFF", "-1"},
        {"b", "9223372036854775807", "9223372036854775807"},
        {"b", "-9223372036854775808", "-9223372036854775808"},
        {"v", "abc", "abc"},
        {"v", "abcdefgh", "abcde"},
        // Six two-byte characters into five.
        {"v", "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F\xC3\xA9\xC3\xA8",
         "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F\xC3\xA9"},
        {"t", "a longer text, kept whole", "a longer text, kept whole"},
        {"f", "0.1", "0.1"},
        {"f", "-2.5", "-2.5"},
        {"f", "3", "3"},
        {"f", " 1.5 ", "1.5"},
        {"f", "1e20", "1e+20"},
        {"f", "123.4567", "123.4567"},
        {"m", "12.5", "12.5"},
        {"d", "2024-02-29", "2024-02-29"},
        {"d", " 2024-01-31", "2024-01-31"},
        {"tm", "08:30", "08:30:00"},
        {"tm", "23:59:59", "23:59:59"},
        {"ts", "2024-01-02T03:04:05", "2024-01-02 03:04:05"},
        {"ts", "2024-01-02", "2024-01-02 00:00:00"},
        {"tm", "23:59:59.25", "23:59:59.25"},
        {"ts", "2024-01-02 03:04:05.123456", "2024-01-02 03:04:05.123456"},
        {"ok", "TRUE", "True"},
        {"ok", "false", "False"},
        {"ok", "1", "True"},
        {"ok", "0", "False"},
    };
    for (const auto& c : cases) {
        // MariaDB's TIME and TIMESTAMP keep whole seconds unless declared with a fraction, and a
        // fraction the server would cut is refused.
        const std::string column = c.column;
        if (GetParam() == TestEngine::MariaDB && (column == "tm" || column == "ts") &&
            std::string(c.read).find('.') != std::string::npos) {
            EXPECT_THROW(RoundTrip(c.column, c.written), EDBEngineError) << c.written;
            cursor_->Cancel();
            continue;
        }
        EXPECT_EQ(RoundTrip(c.column, c.written), c.read) << c.column << " <- " << c.written;
    }
}

TEST_P(CursorFieldTest, EmptyTextEmptiesTheValue) {
    for (const char* column : {"s", "v", "t", "f", "d", "ok"}) {
        EXPECT_EQ(RoundTrip(column, ""), "") << column;
        EXPECT_EQ(db_.QueryValue(std::string("SELECT count(*) FROM kinds WHERE ") + column +
                                 " IS NOT NULL"),
                  "0")
            << column;
    }
}

TEST_P(CursorFieldTest, RefusedTextsNameTheValueAndTheField) {
    static const struct {
        const char* column;
        const char* written;
        const char* message;
    } cases[] = {
        {"i", "abc", "'abc' is not a valid integer value for field 'i'"},
        {"i", "12.5", "'12.5' is not a valid integer value for field 'i'"},
        {"i", "12 ", "'12 ' is not a valid integer value for field 'i'"},
        {"i", "3000000000",
         "3000000000 is not a valid value for field 'i'. The allowed range is -2147483648 to "
         "2147483647"},
        {"s", "70000",
         "70000 is not a valid value for field 's'. The allowed range is -32768 to 32767"},
        {"b", "9223372036854775808",
         "'9223372036854775808' is not a valid integer value for field 'b'"},
        {"f", "1,5", "'1,5' is not a valid floating point value for field 'f'"},
        {"f", "1e999", "'1e999' is not a valid floating point value for field 'f'"},
        {"m", "ten", "'ten' is not a valid floating point value for field 'm'"},
        {"d", "2023-02-29", "'2023-02-29' is not a valid date value for field 'd'"},
        {"d", "29.02.2024", "'29.02.2024' is not a valid date value for field 'd'"},
        {"tm", "25:00:00", "'25:00:00' is not a valid time value for field 'tm'"},
        {"ts", "2024-01-02 3:04",
         "'2024-01-02 3:04' is not a valid date and time value for field 'ts'"},
        {"ts", "2024-01-02 03:04:05.",
         "'2024-01-02 03:04:05.' is not a valid date and time value for field 'ts'"},
        {"ok", "yes", "'yes' is not a valid boolean value for field 'ok'"},
    };
    for (const auto& c : cases) {
        cursor_->Append();
        EXPECT_EQ(MessageOf<EDatabaseError>(
                      [&] { cursor_->FieldNamed(c.column).WriteString(c.written); }),
                  c.message);
        cursor_->Cancel();
    }
    EXPECT_EQ(Count("kinds"), 0);
}

TEST_P(CursorFieldTest, WriteIntegerStoresNumbersAndDigits) {
    EXPECT_EQ(WriteIntegerAndRead("i", -7), "-7");
    EXPECT_EQ(WriteIntegerAndRead("f", 7), "7");
    EXPECT_EQ(WriteIntegerAndRead("t", -42), "-42");
    EXPECT_EQ(WriteIntegerAndRead("v", 1234567), "12345");
    cursor_->Append();
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { cursor_->FieldNamed("s").WriteInteger(40000); }),
              "40000 is not a valid value for field 's'. The allowed range is -32768 to 32767");
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { cursor_->FieldNamed("d").WriteInteger(1); }),
              "Cannot access field 'd' as type Integer");
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { cursor_->FieldNamed("ok").WriteInteger(1); }),
              "Cannot access field 'ok' as type Integer");
}

TEST_P(CursorFieldTest, WriteFloatStoresRealsAndRefusesOtherColumns) {
    cursor_->Append();
    cursor_->FieldNamed("f").WriteFloat(0.1);
    cursor_->FieldNamed("m").WriteFloat(-12.25);
    for (const char* column : {"i", "v", "d", "ok"}) {
        EXPECT_EQ(MessageOf<EDatabaseError>([&] { cursor_->FieldNamed(column).WriteFloat(1); }),
                  std::string("Cannot access field '") + column + "' as type Float");
    }
    cursor_->Post();
    EXPECT_EQ(db_.Query("SELECT f, CAST(m AS VARCHAR(20)), i, v FROM kinds"),
              (std::vector<std::vector<std::string>>{{"0.1", "-12.25", "", ""}}));
}

TEST_P(CursorFieldTest, RealsUseTheLocalesDecimalSeparator) {
    SetDecimalSeparator(',');
    const std::string read = RoundTrip("f", "12,25");
    const std::string refused = MessageOf<EDatabaseError>([&] {
        cursor_->Append();
        cursor_->FieldNamed("f").WriteString("12.25");
    });
    SetDecimalSeparator('.');
    EXPECT_EQ(read, "12,25");
    EXPECT_EQ(refused, "'12.25' is not a valid floating point value for field 'f'");
}

TEST_P(CursorFieldTest, ReadStringAndWriteStringCopyValuesUnchanged) {
    // The master-column method copies values through text; nothing may drift on the way.
    const std::vector<std::string> texts{"-5",         "70000",
                                         "9000000000", "abcde",
                                         "hello",      "0.30000000000000004",
                                         "2.5",        "2020-12-31",
                                         "00:00:01",   "1999-01-01 12:00:00",
                                         "True"};
    cursor_->Append();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        cursor_->FieldAt(static_cast<int>(i) + 1).WriteString(texts[i]);
    }
    cursor_->Post();
    auto copy = OpenTable("kinds");
    copy->Append();
    for (int i = 1; i < copy->FieldCount(); ++i) {
        copy->FieldAt(i).WriteString(cursor_->FieldAt(i).ReadString());
    }
    copy->Post();
    const auto rows = db_.Query("SELECT s, i, b, v, t, f, m, d, tm, ts, ok FROM kinds ORDER BY id");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], rows[1]);
}

// Each engine's money column, and on MariaDB the unsigned integers, whose values read as
// numbers the signed columns cannot hold.
std::vector<std::pair<std::string, std::string>> EngineOwnColumns(TestEngine engine) {
    switch (engine) {
        case TestEngine::SQLite:
            return {{"c", "MONEY"}};
        case TestEngine::PostgreSQL:
            return {{"c", "money"}};
        case TestEngine::MariaDB:
            break;
    }
    return {{"c", "DECIMAL(19,4)"},
            {"bu", "BIGINT UNSIGNED"},
            {"iu", "INT UNSIGNED"},
            {"wu", "SMALLINT UNSIGNED"}};
}

// Values at the edges of those columns, as the engine's SQL writes them.
std::vector<std::string> EngineOwnRows(TestEngine engine) {
    switch (engine) {
        case TestEngine::SQLite:
            return {"INSERT INTO kinds (c) VALUES (92233720368547758), (-12.25)"};
        case TestEngine::PostgreSQL:
            return {"INSERT INTO kinds (c) VALUES ('92233720368547758.07'), ('-12.25')"};
        case TestEngine::MariaDB:
            break;
    }
    return {
        "INSERT INTO kinds (c, bu, iu, wu) VALUES"
        " (12345678901234.5678, 18446744073709551615, 4294967295, 65535),"
        " (-922337203685477.5808, 9223372036854775808, 2147483648, 32768),"
        " (0.0001, 5, 70000, 12)"};
}

// A value copied from another cursor's column is stored as its text would be, refusals included,
// for every pair of the engine's column types.
TEST_P(CursorFieldTest, AValueCopiedFromAColumnIsStoredAsItsText) {
    std::vector<std::string> columns{"s", "i", "b", "v", "t", "f", "m", "ok"};
    for (const auto& [name, type] : EngineOwnColumns(GetParam())) {
        db_.Execute("ALTER TABLE kinds ADD COLUMN " + name + " " + type);
        columns.push_back(name);
    }
    cursor_ = OpenTable("kinds");
    db_.Execute(
        "INSERT INTO kinds (s, i, b, v, t, f, m, ok) VALUES"
        " (-5, 70000, 9000000000, '12', 'x', 2.5, 3.25, true),"
        " (NULL, 7, -7, 'abcde', '', 1e20, NULL, false)");
    for (const std::string& rows : EngineOwnRows(GetParam())) {
        db_.Execute(rows);
    }
    auto source = OpenTable("kinds");
    // What the column `to` of a started record holds after `write`, or the error it raised.
    const auto outcome = [&](const std::string& to,
                             const std::function<void(CursorField&)>& write) {
        cursor_->Append();
        std::string result;
        try {
            write(cursor_->FieldNamed(to));
            result = cursor_->FieldNamed(to).ReadString();
        } catch (const EDatabaseError& error) {
            result = std::string("error: ") + error.what();
        }
        cursor_->Cancel();
        return result;
    };
    for (; !source->AtEnd(); source->Next()) {
        for (const std::string& from : columns) {
            const CursorField& value = source->FieldNamed(from);
            for (const std::string& to : columns) {
                EXPECT_EQ(
                    outcome(to, [&](CursorField& field) { field.WriteValueOf(value); }),
                    outcome(to, [&](CursorField& field) { field.WriteString(value.ReadString()); }))
                    << from << " = " << value.ReadString() << " to " << to;
            }
        }
    }
}

// Money keeps every digit its column keeps, written as text or copied from a money column.
// PostgreSQL's money is a 64-bit count of cents; MariaDB has DECIMAL(19,4); SQLite's MONEY has
// numeric affinity, which keeps whole amounts as integers and the others as reals.
TEST_P(CursorFieldTest, MoneyKeepsEveryDigitItsColumnKeeps) {
    struct Case {
        const char* written;
        // What the database holds, as its own client shows it, and what ReadString gives.
        const char* stored;
        const char* read;
    };
    std::vector<Case> cases;
    std::string stored = "c";
    switch (GetParam()) {
        case TestEngine::SQLite:
            cases = {{"92233720368547758", "92233720368547758", "92233720368547758"},
                     {"-9223372036854775808", "-9223372036854775808", "-9223372036854775808"},
                     {"12.25", "12.25", "12.25"},
                     {"1e3", "1000", "1000"}};
            break;
        case TestEngine::PostgreSQL:
            stored = "c::numeric";
            cases = {{"1234567890123456.78", "1234567890123456.78", "1234567890123456.78"},
                     {"92233720368547758.07", "92233720368547758.07", "92233720368547758.07"},
                     {"-92233720368547758.08", "-92233720368547758.08", "-92233720368547758.08"},
                     // The server rounds to cents, and only once.
                     {"0.125", "0.13", "0.13"},
                     {"0.00499", "0.00", "0"},
                     {" 12.5 ", "12.50", "12.5"},
                     {"1e3", "1000.00", "1000"}};
            break;
        case TestEngine::MariaDB:
            cases = {{"12345678901234.5678", "12345678901234.5678", "12345678901234.5678"},
                     {"999999999999999.9999", "999999999999999.9999", "999999999999999.9999"},
                     {"-999999999999999.9999", "-999999999999999.9999", "-999999999999999.9999"},
                     {"1.23456", "1.2346", "1.2346"},
                     {"1e3", "1000.0000", "1000"}};
            break;
    }
    const std::string type = EngineOwnColumns(GetParam()).front().second;
    db_.Execute("CREATE TABLE amounts (id " + db_.AutoIncKeyType() + ", c " + type + ")");
    db_.Execute("CREATE TABLE copies (id " + db_.AutoIncKeyType() + ", c " + type + ")");
    auto amounts = OpenTable("amounts");
    std::vector<std::string> expectStored;
    std::vector<std::string> expectRead;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        amounts->Append();
        amounts->FieldNamed("c").WriteString(c.written);
        amounts->Post();
        expectStored.push_back(c.stored);
        expectRead.push_back(c.read);
    }
    const auto storedIn = [&](const std::string& table) {
        std::vector<std::string> values;
        for (const auto& row : db_.Query("SELECT " + stored + " FROM " + table + " ORDER BY id")) {
            values.push_back(row[0]);
        }
        return values;
    };
    EXPECT_EQ(storedIn("amounts"), expectStored);

    auto copies = OpenTable("copies");
    std::vector<std::string> read;
    for (amounts->First(); !amounts->AtEnd(); amounts->Next()) {
        read.push_back(amounts->FieldNamed("c").ReadString());
        copies->Append();
        copies->FieldNamed("c").WriteValueOf(amounts->FieldNamed("c"));
        copies->Post();
    }
    EXPECT_EQ(read, expectRead);
    EXPECT_EQ(storedIn("copies"), expectStored);

    SetDecimalSeparator(',');
    copies->Append();
    copies->FieldNamed("c").WriteString("-0,25");
    const std::string local = copies->FieldNamed("c").ReadString();
    copies->Cancel();
    SetDecimalSeparator('.');
    EXPECT_EQ(local, "-0,25");
}

// A money column as the key: each record is found again by its amount, to the last digit.
TEST_P(CursorFieldTest, AMoneyKeyFindsItsRecord) {
    const std::string type = EngineOwnColumns(GetParam()).front().second;
    db_.Execute("CREATE TABLE priced (c " + type + " PRIMARY KEY, n INTEGER)");
    // Two amounts a double takes for one, for each engine's column.
    std::string pair = "('12345678901234.5679', 1), ('12345678901234.5678', 2)";
    if (GetParam() == TestEngine::SQLite) {
        pair = "(9007199254740993, 1), (9007199254740992, 2)";
    } else if (GetParam() == TestEngine::PostgreSQL) {
        pair = "('92233720368547758.07', 1), ('92233720368547758.06', 2)";
    }
    db_.Execute("INSERT INTO priced VALUES " + pair + ", ('-0.5', 3), ('12345678901.23', 4)");
    auto priced = OpenTable("priced");
    for (; !priced->AtEnd(); priced->Next()) {
        priced->Edit();
        priced->FieldNamed("n").WriteInteger(10 + std::stoi(priced->FieldNamed("n").ReadString()));
        priced->Post();
    }
    EXPECT_EQ(db_.Query("SELECT n FROM priced ORDER BY n"),
              (std::vector<std::vector<std::string>>{{"11"}, {"12"}, {"13"}, {"14"}}));
}

INSTANTIATE_TEST_SUITE_P(Engines, CursorFieldTest, ::testing::ValuesIn(TestEngines()),
                         EngineTestName);

}  // namespace
}  // namespace rowsmith::test
