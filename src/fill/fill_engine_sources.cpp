// FillEngine: what the settings draw on besides their own values (the value libraries and the
// same record's other columns), and the order in which a record's columns are made from them.
#include <functional>
#include <utility>

#include "engine/cursor_field.h"
#include "fill/fill_engine.h"
#include "text/text_helpers.h"

namespace rowsmith {

const CursorField& FillEngine::Column(const std::string& name) {
    return workTable_->FieldNamed(name);
}

void FillEngine::SetScenarioFolder(std::string folder) {
    scenarioFolder_ = std::move(folder);
    shelf_.reset();
}

const ValueSources& FillEngine::Sources() {
    if (!shelf_) {
        shelf_ = std::make_unique<LibraryShelf>(LibraryFinder(), scenarioFolder_);
    }
    sources_.libraries = shelf_.get();
    sources_.columns.clear();
    sources_.sizes.clear();
    for (int i = 0; i < workTable_->FieldCount(); ++i) {
        sources_.columns.push_back(workTable_->FieldAt(i).FieldName());
        sources_.sizes.push_back(workTable_->FieldAt(i).Size());
    }
    sources_.settings = currentTable_ != nullptr ? &currentTable_->Fields() : nullptr;
    return sources_;
}

void FillEngine::OrderGenerators() {
    const auto position = [this](const std::string& name) {
        for (std::size_t i = 0; i < generators_.size(); ++i) {
            if (SameText(generators_[i]->Setting().FieldName(), name)) {
                return static_cast<int>(i);
            }
        }
        return -1;
    };
    // Depth first, each generator after the ones it refers to. The check refuses circles; one
    // met here all the same is broken where it closes rather than looped over.
    std::vector<char> state(generators_.size(), 0);
    std::vector<std::unique_ptr<ColumnGenerator>> ordered;
    const std::function<void(int)> visit = [&](int i) {
        if (state[i] != 0) {
            return;
        }
        state[i] = 1;
        for (const std::string& name : generators_[i]->ReferencedColumns()) {
            if (const int referenced = position(name); referenced >= 0) {
                visit(referenced);
            }
        }
        state[i] = 2;
        ordered.push_back(std::move(generators_[i]));
    };
    for (std::size_t i = 0; i < generators_.size(); ++i) {
        visit(static_cast<int>(i));
    }
    generators_ = std::move(ordered);
}

}  // namespace rowsmith
