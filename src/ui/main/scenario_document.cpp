#include "main/scenario_document.h"

#include <filesystem>

#include "text/text_helpers.h"

namespace rowsmith {

ScenarioDocument::ScenarioDocument(FillReporter& reporter)
    : scenario_(std::make_unique<TFillScenario>()),
      filler_(std::make_unique<FillEngine>(*scenario_, reporter)) {}

ScenarioDocument::~ScenarioDocument() {
    // The engine refers to the scenario, so it goes first.
    filler_.reset();
    scenario_.reset();
}

bool ScenarioDocument::IsUnnamed() const {
    return SameText(fileName_, kNoName);
}

void ScenarioDocument::New(const std::string& alias, const std::vector<std::string>& tables) {
    scenario_->SetAliasName(alias);
    ClearTables();
    for (const std::string& name : tables) {
        if (scenario_->FindTable(name) < 0) {
            scenario_->AddTable(name);
        }
    }
    fileName_ = kNoName;
    filler_->SetScenarioFolder({});
    modified_ = true;
}

void ScenarioDocument::NewDraft(const TFillScenario& draft) {
    ClearTables();
    // The engine keeps the scenario it was made with, so the draft is read into that one.
    scenario_->LoadFromText(draft.SaveToText());
    scenario_->SetAliasName(draft.AliasName());
    fileName_ = kNoName;
    filler_->SetScenarioFolder({});
    modified_ = true;
}

void ScenarioDocument::Open(const std::string& path) {
    fileName_ = path;
    // Library paths in fill values are relative to the scenario file.
    filler_->SetScenarioFolder(std::filesystem::path(path).parent_path().string());
    ClearTables();
    scenario_->LoadFromFile(path);
}

void ScenarioDocument::Write(const std::string& path) {
    scenario_->SaveToFile(path);
    filler_->SetScenarioFolder(std::filesystem::path(path).parent_path().string());
    modified_ = false;
}

void ScenarioDocument::ClearTables() {
    filler_->ForgetCurrentTable();
    scenario_->Tables().Clear();
}

}  // namespace rowsmith
