#include "fill/column_writer.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string_view>
#include <utility>
#include <variant>

#include "model/fill_field.h"
#include "text/conversions.h"
#include "text/errors.h"

namespace rowsmith {

const std::string ColumnWriter::kNull;

ColumnWriter::ColumnWriter(std::unique_ptr<ColumnGenerator> generator, GeneratorHost& host,
                           CursorField& column, std::string table)
    : generator_(std::move(generator)),
      column_(column),
      random_(host.Random()),
      table_(std::move(table)) {
    generator_->Start(host, &column);
}

bool ReadNullShare(const std::string& text, long double& percent) {
    if (text.empty()) {
        percent = 0;
        return true;
    }
    return TryStrToFloat(text, percent) && percent >= 0 && percent <= 100;
}

void ColumnWriter::SetNullShare(long double percent) {
    allNull_ = percent >= 100;
    // A draw is a 32-bit state, so the share is that many 2^32ths of the draws.
    const long long below = std::llround(percent / 100 * 4294967296.0L);
    nullBelow_ = allNull_ ? 0 : static_cast<std::uint32_t>(std::min(below, 4294967295LL));
}

void ColumnWriter::MakeUnique() {
    unique_ = true;
    ownOrder_ = generator_->DrawWithoutReplacement();
}

void ColumnWriter::Avoid(const std::string& text) {
    if (!text.empty()) {
        taken_.Insert(std::hash<std::string_view>{}(text));
    }
}

std::uint64_t ColumnWriter::WrittenHash() const {
    const auto* text = std::get_if<std::string>(&column_.Value());
    if (text != nullptr && StoresText(column_.FieldType())) {
        return std::hash<std::string_view>{}(*text);
    }
    return std::hash<std::string_view>{}(column_.ReadString());
}

void ColumnWriter::WriteUnique() {
    for (int draws = 0;; ++draws) {
        if (generator_->Exhausted()) {
            ThrowNoNewValue("every value its fill value gives is used after " +
                            std::to_string(written_) + " records");
        }
        generator_->Write();
        if (ownOrder_ && taken_.Empty()) {
            break;
        }
        if (std::holds_alternative<std::monostate>(column_.Value())) {
            break;
        }
        const std::uint64_t hash = WrittenHash();
        if (ownOrder_ ? !taken_.Contains(hash) : taken_.Insert(hash)) {
            break;
        }
        // A generator with its own order runs out of values before it can loop here for ever.
        if (!ownOrder_ && draws + 1 == kMaxDraws) {
            ThrowNoNewValue("no new value in " + std::to_string(kMaxDraws) + " draws after " +
                            std::to_string(written_) + " records");
        }
    }
    ++written_;
}

void ColumnWriter::ThrowNoNewValue(const std::string& why) const {
    throw Exception("Unique, but " + why + ". Table: \"" + table_ + "\". Field: \"" +
                    generator_->Setting().FieldName() + "\"");
}

}  // namespace rowsmith
