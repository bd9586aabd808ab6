// Shared pieces of the fill engine tests: a fixture holding a fresh test database, a scenario on
// its alias and a fill engine, with helper verbs to set tables and columns up and to read the
// results back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine_param_test.h"
#include "fill/fill_engine.h"
#include "model/fill_scenario.h"
#include "recording_reporter.h"
#include "test_database.h"
#include "text/errors.h"

namespace rowsmith::test {

// A scenario and a fill engine of their own on a fresh database of one engine; the fixture below
// has one, and table-driven cases that each need a new table make more.
struct OwnFill {
    OwnFill(TestEngine engine, FillReporter& reporter) : db(engine), filler(scenario, reporter) {
        scenario.SetAliasName(db.Alias());
        filler.SetFixedSeed(0);
    }

    // Adds the table to the scenario and binds it, so it has one setting per column.
    TFillTable& AddTable(const std::string& name, std::int32_t tableMethod, std::int32_t recCount) {
        TFillTable& table = scenario.Tables().Items(scenario.AddTable(name));
        table.SetTableFillMethod(tableMethod);
        table.SetRecCount(recCount);
        filler.BindTable(table);
        return table;
    }

    TestDatabase db;
    TFillScenario scenario;
    FillEngine filler;
};

class FillTest : public EngineParamTest {
protected:
    TFillTable& AddTable(const std::string& name, std::int32_t tableMethod, std::int32_t recCount) {
        return own.AddTable(name, tableMethod, recCount);
    }

    static void SetField(TFillTable& table, const std::string& field, std::int32_t method,
                         const std::string& value) {
        const int index = table.FindField(field);
        ASSERT_GE(index, 0) << field;
        table.Fields().Items(index).SetFillMethod(method);
        table.Fields().Items(index).SetFillValue(value);
    }

    // One column of a table in the order of `orderBy`, "" for NULL.
    std::vector<std::string> Column(const std::string& table, const std::string& column,
                                    const std::string& orderBy = "id") {
        std::vector<std::string> values;
        for (const auto& row : db.Query("SELECT \"" + column + "\" FROM \"" + table +
                                        "\" ORDER BY \"" + orderBy + "\"")) {
            values.push_back(row[0]);
        }
        return values;
    }

    // The check's message for the scenario as it stands, empty when it passes.
    std::string CheckError() {
        try {
            engine.CheckAllValues();
        } catch (const Exception& error) {
            return error.what();
        }
        return "";
    }

    std::int64_t Count(const std::string& table) {
        return std::stoll(db.QueryValue("SELECT COUNT(*) FROM \"" + table + "\""));
    }

    // Creates a table and puts `rows` rows into it, each value list spliced as given.
    void CreateTable(const std::string& name, const std::string& columns,
                     const std::vector<std::string>& rows = {}) {
        db.Execute("CREATE TABLE \"" + name + "\" (" + columns + ")");
        for (const std::string& row : rows) {
            db.Execute("INSERT INTO \"" + name + "\" VALUES (" + row + ")");
        }
    }

    RecordingReporter reporter;
    OwnFill own{GetParam(), reporter};
    TestDatabase& db = own.db;
    TFillScenario& scenario = own.scenario;
    FillEngine& engine = own.filler;
};

}  // namespace rowsmith::test
