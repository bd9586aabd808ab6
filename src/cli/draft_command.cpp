#include "cli/draft_command.h"

#include <filesystem>
#include <string>

#include "fill/draft/scenario_draft.h"
#include "text/errors.h"

namespace rowsmith {

void DraftScenario(const CliOptions& options, std::FILE* out, std::FILE* notes) {
    ScenarioDraft draft(options.argument, options.draftTables,
                        options.records.value_or(ScenarioDraft::kDefaultRecords));
    for (const auto& [name, count] : options.tableRecords) {
        bool found = false;
        for (ScenarioDraft::Table& table : draft.Tables()) {
            if (table.name == name) {
                table.records = count;
                found = true;
            }
        }
        if (!found) {
            throw Exception("--records " + name + "=" + std::to_string(count) +
                            ": the draft has no table " + name);
        }
    }
    // Library paths are read against the folder the scenario is written to, as a fill reads them.
    const std::string folder = std::filesystem::path(options.output).parent_path().string();
    TFillScenario scenario;
    draft.Make(scenario, folder);
    if (options.output.empty()) {
        const std::string text = scenario.SaveToText();
        if (std::fwrite(text.data(), 1, text.size(), out) != text.size() || std::fflush(out) != 0) {
            throw EWriteError("Cannot write the scenario to standard output");
        }
    } else {
        scenario.SaveToFile(options.output);
    }
    for (const std::string& note : draft.Notes()) {
        if (notes != nullptr) {
            std::fprintf(notes, "rowsmith-fill: note: %s\n", note.c_str());
        }
    }
}

}  // namespace rowsmith
