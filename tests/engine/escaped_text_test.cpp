// Texts holding the characters that PostgreSQL's COPY text escapes (backslash, tab, line feed,
// carriage return), each alone and at the start, in the middle and at the end of a value, on
// every engine. A fill streams its records to PostgreSQL in that text, and a batch the server
// refused is read back from it to replay the records before the refused one, so both ways are
// written and read back here, for appended and for updated records.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/database_errors.h"
#include "engine/fill_run_scope.h"
#include "engine_fixture.h"

namespace rowsmith::test {
namespace {

std::vector<std::string> EscapedTexts() {
    std::vector<std::string> texts;
    for (const char c : {'\\', '\t', '\n', '\r'}) {
        const std::string alone(1, c);
        texts.insert(texts.end(), {alone, alone + "ab", "a" + alone + "b", "ab" + alone});
    }
    // A path whose backslashes stand before letters that name escapes; COPY's mark of NULL as a
    // text; all four together.
    texts.insert(texts.end(), {"C:\\temp\\new", "\\N", "\\\t\n\r"});
    return texts;
}

class EscapedTextTest : public EngineTest {
protected:
    void SetUp() override {
        db_.Execute("CREATE TABLE texts (k INTEGER PRIMARY KEY, v VARCHAR(20))");
    }

    // Appends (1, texts[0]), (2, texts[1]), ... in one fill run, then, when `refused`, a record
    // whose key the first one has. The error that stopped the run, "" when none did.
    std::string Append(const std::vector<std::string>& texts, bool refused) {
        auto cursor = OpenTable("texts", true);
        try {
            FillRunScope run(db_.Alias());
            for (std::size_t i = 0; i < texts.size(); ++i) {
                AppendRecord(*cursor, {std::to_string(i + 1), texts[i]});
            }
            if (refused) {
                AppendRecord(*cursor, {"1", "refused"});
            }
            run.Finish();
        } catch (const EDBEngineError& error) {
            return error.what();
        }
        return "";
    }

    // Walks texts in one fill run and gives its records texts[0], texts[1], ... in key order;
    // when `refused`, the record after the last text is given the first one's key. The error
    // that stopped the run, "" when none did.
    std::string Update(const std::vector<std::string>& texts, bool refused) {
        for (std::size_t k = 1; k <= texts.size() + 1; ++k) {
            db_.Execute("INSERT INTO texts VALUES (" + std::to_string(k) + ", 'old" +
                        std::to_string(k) + "')");
        }
        auto cursor = OpenTable("texts", true);
        try {
            FillRunScope run(db_.Alias());
            cursor->First();
            for (const std::string& text : texts) {
                cursor->Edit();
                cursor->FieldAt(1).WriteString(text);
                cursor->Post();
                cursor->Next();
            }
            if (refused) {
                cursor->Edit();
                cursor->FieldAt(0).WriteString("1");
                cursor->Post();
            }
            run.Finish();
        } catch (const EDBEngineError& error) {
            return error.what();
        }
        return "";
    }

    std::vector<std::string> Stored() {
        std::vector<std::string> texts;
        for (const auto& row : db_.Query("SELECT v FROM texts ORDER BY k")) {
            texts.push_back(row[0]);
        }
        return texts;
    }
};

TEST_P(EscapedTextTest, AppendedInAFillTheyAreStoredAsWritten) {
    const std::vector<std::string> texts = EscapedTexts();
    EXPECT_EQ(Append(texts, false), "");
    EXPECT_EQ(Stored(), texts);
}

TEST_P(EscapedTextTest, AppendedBeforeARefusedRecordTheyAreKeptAsWritten) {
    const std::vector<std::string> texts = EscapedTexts();
    EXPECT_NE(Append(texts, true), "");
    EXPECT_EQ(Stored(), texts);
}

TEST_P(EscapedTextTest, UpdatedInAFillTheyAreStoredAsWritten) {
    std::vector<std::string> texts = EscapedTexts();
    EXPECT_EQ(Update(texts, false), "");
    texts.push_back("old" + std::to_string(texts.size() + 1));
    EXPECT_EQ(Stored(), texts);
}

TEST_P(EscapedTextTest, UpdatedBeforeARefusedUpdateTheyAreKeptAsWritten) {
    std::vector<std::string> texts = EscapedTexts();
    EXPECT_NE(Update(texts, true), "");
    texts.push_back("old" + std::to_string(texts.size() + 1));
    EXPECT_EQ(Stored(), texts);
}

INSTANTIATE_TEST_SUITE_P(Engines, EscapedTextTest, ::testing::ValuesIn(TestEngines()),
                         EngineTestName);

}  // namespace
}  // namespace rowsmith::test
