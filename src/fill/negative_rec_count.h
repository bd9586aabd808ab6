// ENegativeRecCount: how a fill ends whose table has a record count below zero. It is raised
// before the table is emptied, so the table keeps its records. Its message is the window's
// progress bar refusing that count as its maximum; rowsmith-fill, which has no such bar, says
// what is wrong instead (Description).
#pragma once

#include <cstdint>
#include <string>

#include "text/errors.h"
#include "text/printable.h"

namespace rowsmith {

class ENegativeRecCount : public EInvalidOperation {
public:
    ENegativeRecCount(const std::string& tableName, std::int32_t recCount)
        : EInvalidOperation("TProgressBar property out of range"),
          tableName_(tableName),
          recCount_(recCount) {}

    const std::string& TableName() const { return tableName_; }
    std::int32_t RecCount() const { return recCount_; }
    // "The record count of table "t" is negative: -1".
    std::string Description() const {
        return "The record count of table \"" + PrintableText(tableName_) +
               "\" is negative: " + std::to_string(recCount_);
    }

private:
    std::string tableName_;
    std::int32_t recCount_;
};

}  // namespace rowsmith
