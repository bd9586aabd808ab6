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
    const std::size_t count = writers_.size();
    // Which generator each one refers to, by position.
    std::vector<std::vector<std::size_t>> references(count);
    for (std::size_t i = 0; i < count; ++i) {
        for (const std::string& name : writers_[i].Generator().ReferencedColumns()) {
            for (std::size_t j = 0; j < count; ++j) {
                if (SameText(writers_[j].Generator().Setting().FieldName(), name)) {
                    references[i].push_back(j);
                    break;
                }
            }
        }
    }
    // Depth first, each generator after the ones it refers to. The check refuses circles; one
    // met here all the same is broken where it closes rather than followed round.
    std::vector<bool> visited(count, false);
    std::vector<ColumnWriter> ordered;
    ordered.reserve(count);
    const std::function<void(std::size_t)> visit = [&](std::size_t i) {
        if (visited[i]) {
            return;
        }
        visited[i] = true;
        for (const std::size_t referenced : references[i]) {
            visit(referenced);
        }
        ordered.push_back(std::move(writers_[i]));
    };
    for (std::size_t i = 0; i < count; ++i) {
        visit(i);
    }
    writers_ = std::move(ordered);
}

}  // namespace rowsmith
