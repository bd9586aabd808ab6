// ScenarioDocument: the scenario the window works on, as data: the scenario itself, the file it
// belongs to, whether it changed since it was last written, and the fill engine that checks and
// fills it. It carries the scenario commands' work on that data (the dialogs and the screen stay
// the window's), so the window derives every enabled state from it. No Qt here.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "fill/fill_engine.h"
#include "fill/fill_reporter.h"
#include "model/fill_scenario.h"

namespace rowsmith {

class ScenarioDocument {
public:
    // The file name of a new scenario that has no file yet.
    static constexpr const char* kNoName = "noname";

    // `reporter` hears the fill engine and must outlive the document.
    explicit ScenarioDocument(FillReporter& reporter);
    ~ScenarioDocument();
    ScenarioDocument(const ScenarioDocument&) = delete;
    ScenarioDocument& operator=(const ScenarioDocument&) = delete;

    TFillScenario& Scenario() { return *scenario_; }
    const TFillScenario& Scenario() const { return *scenario_; }
    FillEngine& Filler() { return *filler_; }

    // Empty before the first New or Open; kNoName for a new scenario without a file; otherwise the
    // path of its file.
    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& fileName) { fileName_ = fileName; }
    // Whether there is a scenario at all, new or from a file.
    bool HasScenario() const { return !fileName_.empty(); }
    // Whether the scenario still lacks a file: its name is "noname", whole and in any letter case.
    bool IsUnnamed() const;

    // The scenario-changed state: set by every edit and by New, cleared by a successful write.
    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }

    // Starts a new scenario on `alias` with `tables` in their order (a name given twice is taken
    // once), without settings yet, named kNoName and changed.
    void New(const std::string& alias, const std::vector<std::string>& tables);
    // Starts a new scenario holding what `draft` holds, named kNoName and changed.
    void NewDraft(const TFillScenario& draft);
    // Replaces the scenario by the file at `path` (a missing file gives an empty scenario) and
    // names it so; the changed state stays as it was. When the file cannot be read the error is
    // raised with the name already taken and the tables read before the error in the scenario.
    void Open(const std::string& path);
    // Writes the scenario to `path` and clears the changed state. When the file cannot be written
    // the error is raised and the scenario stays changed; a former file there is left whole.
    void Write(const std::string& path);

private:
    // Frees every table with its settings; no table is current after it.
    void ClearTables();

    std::unique_ptr<TFillScenario> scenario_;
    std::unique_ptr<FillEngine> filler_;
    std::string fileName_;
    bool modified_ = false;
};

}  // namespace rowsmith
