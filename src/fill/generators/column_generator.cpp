#include "fill/generators/column_generator.h"

#include "engine/cursor_field.h"

namespace rowsmith {

bool ColumnGenerator::CheckValue(const std::string&, const CursorField*) const {
    return true;
}

std::string ColumnGenerator::Refusal(const std::string&, const CursorField*) const {
    return {};
}

double ColumnGenerator::DistinctValues() const {
    return -1;
}

double ColumnGenerator::RepeatChance() const {
    const double distinct = DistinctValues();
    return distinct > 0 ? 1 / distinct : -1;
}

bool ColumnGenerator::DrawWithoutReplacement() {
    return false;
}

void ColumnGenerator::CheckFit(TFieldType, int, std::vector<std::string>&) const {}

void ColumnGenerator::CheckSpan(TFieldType, std::int64_t, std::int64_t,
                                std::vector<std::string>&) const {}

std::optional<TableFieldParts> ColumnGenerator::MasterColumn() const {
    return std::nullopt;
}

std::vector<std::string> ColumnGenerator::ReferencedColumns() const {
    return {};
}

std::int64_t ColumnGenerator::LongestText() const {
    return -1;
}

void ColumnGenerator::Start(GeneratorHost& host, CursorField* column) {
    host_ = &host;
    random_ = &host.Random();
    column_ = column;
    if (column != nullptr) {
        shape_ = ColumnShape{column->FieldType(), column->Size(), column->IsWide()};
    }
}

void ColumnGenerator::CheckNotDateOrTime(TFieldType type, std::vector<std::string>& misfits) {
    if (type == ftDate || type == ftTime || type == ftDateTime) {
        misfits.emplace_back(
            "a date or time column cannot take what this method writes: every record will fail");
    }
}

}  // namespace rowsmith
