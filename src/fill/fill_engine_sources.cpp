// FillEngine: what the settings draw on besides their own values (the value libraries and the
// same record's other columns), the column writers that make a record's values, and the order in
// which they make them.
#include <algorithm>
#include <functional>
#include <utility>

#include "engine/cursor_field.h"
#include "fill/column_writer.h"
#include "fill/fill_engine.h"
#include "fill/generators/fill_method_registry.h"
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
    sources_.now = fixedNow_;
    sources_.columns.clear();
    sources_.sizes.clear();
    for (int i = 0; i < workTable_->FieldCount(); ++i) {
        sources_.columns.push_back(workTable_->FieldAt(i).FieldName());
        sources_.sizes.push_back(workTable_->FieldAt(i).Size());
    }
    sources_.settings = currentTable_ != nullptr ? &currentTable_->Fields() : nullptr;
    return sources_;
}

void FillEngine::StartWriters() {
    TFillTable& table = Current();
    writers_.reserve(static_cast<std::size_t>(workTable_->FieldCount()));
    const ValueSources& sources = Sources();
    for (int i = 0; i < workTable_->FieldCount(); ++i) {
        TFillField& setting = table.Fields().Items(i);
        setting.ResetCounter();
        if (!WritesValues(setting.FillMethod())) {
            continue;
        }
        ColumnWriter& writer = writers_.emplace_back(MakeGenerator(setting, &sources),
                                                     static_cast<GeneratorHost&>(*this),
                                                     workTable_->FieldAt(i), table.TableName());
        // The check has refused a share that does not read.
        long double share = 0;
        ReadNullShare(setting.NullShare(), share);
        writer.SetNullShare(share);
        if (setting.Unique()) {
            writer.MakeUnique();
        }
    }
}

// A record about to be overwritten still holds its value while the records before it are
// written, so a unique column avoids every value its column holds when the fill starts.
void FillEngine::AvoidHeldValues() {
    if (std::none_of(writers_.begin(), writers_.end(),
                     [](const ColumnWriter& writer) { return writer.Unique(); })) {
        return;
    }
    for (workTable_->First(); !workTable_->AtEnd(); workTable_->Next()) {
        for (ColumnWriter& writer : writers_) {
            if (writer.Unique()) {
                writer.Avoid(writer.Column().ReadString());
            }
        }
    }
    workTable_->First();
}

// A walk that overwrites records reads only the values the fill looks at: those of the columns
// no writer overwrites (a pattern or a record observer may read them) and of the columns a
// generator names, which it may read before their writer has written them. Every writer writes
// its column in every record, so nothing reads the held values of the others.
std::vector<bool> FillEngine::ColumnsToRead() const {
    const int count = workTable_->FieldCount();
    std::vector<bool> read(static_cast<std::size_t>(count), true);
    for (const ColumnWriter& writer : writers_) {
        for (int i = 0; i < count; ++i) {
            if (&workTable_->FieldAt(i) == &writer.Column()) {
                read[i] = false;
            }
        }
    }
    for (const ColumnWriter& writer : writers_) {
        for (const std::string& name : writer.Generator().ReferencedColumns()) {
            for (int i = 0; i < count; ++i) {
                if (SameText(workTable_->FieldAt(i).FieldName(), name)) {
                    read[i] = true;
                }
            }
        }
    }
    if (std::all_of(read.begin(), read.end(), [](bool needed) { return needed; })) {
        return {};
    }
    return read;
}

void FillEngine::OrderWriters() {
    const std::size_t count = writers_.size();
    // Which writer each one refers to, by position.
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
    // Depth first, each writer after the ones it refers to. The check refuses circles; one
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
