// ScenarioLint: what will fail or surprise in a fill of the scenario, found before anything is
// written by comparing the settings with the tables' constraints, columns and records. It reads
// the database and writes nothing. Problems that stop the look itself (an alias that cannot be
// reached, a scenario table that does not exist) are raised as the fill would raise them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/fill_scenario.h"
#include "text/civil_time.h"

namespace rowsmith {

struct LintWarning {
    std::string table;
    // Empty when the warning is about the whole table.
    std::string column;
    std::string reason;
};

// Library paths in fill values are relative to `scenarioFolder` (the current folder when empty);
// "now" and "today" in date ranges stand for `now` when given, else for the clock's moment.
std::vector<LintWarning> LintScenario(const TFillScenario& scenario,
                                      const std::string& scenarioFolder = {},
                                      std::optional<DateTimeValue> now = std::nullopt);

}  // namespace rowsmith
