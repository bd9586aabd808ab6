// ScenarioDraft: a scenario proposed from the tables of an alias, read from the database's
// catalog. The tables come parents first; each column gets the method its type, keys and name
// suggest (ChooseColumnFill); the record counts can be changed before the scenario is made. The
// result is an ordinary scenario, to be saved, read and changed like any other.
//
// A reference the order cannot follow (a table's reference to itself, one reference of a circle)
// leaves its columns unfilled, and Notes says so; so does a reference to a table the draft does
// not fill. It reads the database and writes nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/table_constraints.h"
#include "model/fill_scenario.h"
#include "model/reference_order.h"

namespace rowsmith {

class ScenarioDraft {
public:
    struct Table {
        std::string name;
        std::int32_t records = 0;
        TableConstraints constraints;
    };

    // The records a table gets, and ten times that for a table that refers to another one.
    static constexpr std::int32_t kDefaultRecords = 100;
    static constexpr std::int32_t kChildFactor = 10;

    // Reads the tables `tables` of `alias` (all of its tables when empty) and orders them. Raises
    // the engine's error for an alias that cannot be reached or a table that does not exist.
    ScenarioDraft(std::string alias, const std::vector<std::string>& tables,
                  std::int32_t records = kDefaultRecords);

    const std::string& Alias() const { return alias_; }
    // The tables in fill order; their record counts may be changed before Make.
    std::vector<Table>& Tables() { return tables_; }
    const std::vector<Table>& Tables() const { return tables_; }
    // What the draft leaves undone, one sentence each, in table order.
    const std::vector<std::string>& Notes() const { return notes_; }

    // Makes the scenario in `scenario`, which has no tables yet. Libraries named by path are
    // looked for in `scenarioFolder`.
    void Make(TFillScenario& scenario, const std::string& scenarioFolder = {}) const;

private:
    // Whether the reference of `table` to `parent` is one the order breaks.
    bool Broken(const std::string& table, const std::string& parent) const;
    // Whether the draft fills `table`.
    bool Drafted(const std::string& table) const;
    // "parent.column" of a reference of one column; empty when the parent's key is not one column.
    std::string MasterOf(const ForeignKey& key) const;
    // The master column that `column` of `table` is drawn from, empty when none.
    std::string MasterColumn(const Table& table, const std::string& column) const;
    void AddNotes();

    std::string alias_;
    std::vector<Table> tables_;
    std::vector<TableReference> broken_;
    std::vector<std::string> notes_;
};

}  // namespace rowsmith
