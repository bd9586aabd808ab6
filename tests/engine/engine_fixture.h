// EngineTest: a fresh database behind the alias "Test" for every test, on each engine of
// TestEngines() (skipped where its server is absent), with helper verbs that open cursors and write
// or read whole records.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/table_cursor.h"
#include "engine_param_test.h"
#include "test_database.h"

namespace rowsmith::test {

class EngineTest : public EngineParamTest {
protected:
    std::unique_ptr<TableCursor> OpenTable(const std::string& table, bool exclusive = false) {
        auto cursor = std::make_unique<TableCursor>();
        cursor->SetDatabaseName(db_.Alias());
        cursor->SetTableName(table);
        cursor->SetExclusive(exclusive);
        cursor->Open();
        return cursor;
    }

    // Appends one record, writing the texts to the first columns in order.
    static void AppendRecord(TableCursor& cursor, const std::vector<std::string>& texts) {
        cursor.Append();
        for (std::size_t i = 0; i < texts.size(); ++i) {
            cursor.FieldAt(static_cast<int>(i)).WriteString(texts[i]);
        }
        cursor.Post();
    }

    static std::vector<std::string> ReadRecord(TableCursor& cursor) {
        std::vector<std::string> texts;
        for (int i = 0; i < cursor.FieldCount(); ++i) {
            texts.push_back(cursor.FieldAt(i).ReadString());
        }
        return texts;
    }

    long Count(const std::string& table) {
        return std::stol(db_.QueryValue("SELECT count(*) FROM " + table));
    }

    TestDatabase db_{GetParam()};
};

// The message of the error `body` raises, which must be of class Error.
template <typename Error, typename Body>
std::string MessageOf(Body body) {
    try {
        body();
    } catch (const Error& error) {
        return error.what();
    }
    ADD_FAILURE() << "no error of the expected class was raised";
    return {};
}

inline std::string EngineTestName(const ::testing::TestParamInfo<TestEngine>& info) {
    return EngineName(info.param);
}

}  // namespace rowsmith::test
