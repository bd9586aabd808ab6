#include "model/fill_table.h"

#include <memory>
#include <utility>

#include "text/text_helpers.h"

namespace rowsmith {

TFillTable::TFillTable(std::string tableName) : tableName_(std::move(tableName)) {}

int TFillTable::FindField(const std::string& name) const {
    for (int i = 0; i < fields_.Count(); ++i) {
        if (fields_.Items(i).FieldName() == name) {
            return i;
        }
    }
    return -1;
}

int TFillTable::AddField(const std::string& name) {
    return fields_.Add(std::make_unique<TFillField>(name));
}

FieldArrangement TFillTable::ArrangeFields(const std::vector<std::string>& columnNames) {
    FieldArrangement result;
    const auto note = [&result](bool betweenSettings, const std::string& name,
                                const std::string& first, const std::string& second) {
        if (!result.conflict) {
            result.conflict = CaseConflict{betweenSettings, name, first, second};
        }
    };
    const std::size_t columns = columnNames.size();
    std::vector<int> order(columns, -1);
    std::vector<bool> taken(static_cast<std::size_t>(fields_.Count()), false);
    const auto untaken = [&](auto matches) {
        std::vector<int> found;
        for (int index = 0; index < fields_.Count(); ++index) {
            if (!taken[static_cast<std::size_t>(index)] &&
                matches(fields_.Items(index).FieldName())) {
                found.push_back(index);
            }
        }
        return found;
    };
    // Exact names first, so that a setting never goes to another column by letter case while
    // its own column is there.
    for (std::size_t c = 0; c < columns; ++c) {
        const std::vector<int> found =
            untaken([&](const std::string& name) { return name == columnNames[c]; });
        if (!found.empty()) {
            order[c] = found.front();
            taken[static_cast<std::size_t>(found.front())] = true;
        }
    }
    for (std::size_t c = 0; c < columns; ++c) {
        if (order[c] >= 0) {
            continue;
        }
        const std::vector<int> found =
            untaken([&](const std::string& name) { return SameText(name, columnNames[c]); });
        if (found.empty()) {
            continue;
        }
        const std::string& setting = fields_.Items(found.front()).FieldName();
        if (found.size() > 1) {
            note(true, columnNames[c], setting, fields_.Items(found[1]).FieldName());
        }
        // Columns before this one found no setting left to match, so only later ones compete.
        for (std::size_t other = c + 1; other < columns; ++other) {
            if (order[other] < 0 && SameText(setting, columnNames[other])) {
                note(false, setting, columnNames[c], columnNames[other]);
                break;
            }
        }
        order[c] = found.front();
        taken[static_cast<std::size_t>(found.front())] = true;
    }
    for (std::size_t c = 0; c < columns; ++c) {
        if (order[c] < 0) {
            // A column named twice (which no database allows) gets a setting of its own too.
            order[c] = AddField(columnNames[c]);
            taken.push_back(true);
        }
    }
    for (int index = 0; index < fields_.Count(); ++index) {
        if (!taken[static_cast<std::size_t>(index)]) {
            order.push_back(index);
            ++result.orphans;
        }
    }
    fields_.Reorder(order);
    return result;
}

void TFillTable::DeleteFieldsFrom(int index) {
    fields_.Truncate(index);
}

}  // namespace rowsmith
