#include "fill/fill_stopped.h"

#include "text/printable.h"

namespace rowsmith {

namespace {

std::string StoppedText(const std::string& tableName, std::int64_t recordsKept) {
    std::string text = "Filling stopped in table \"" + PrintableText(tableName) + "\" ";
    if (recordsKept == 0) {
        return text + "before its first record";
    }
    return text + "after " + std::to_string(recordsKept) +
           (recordsKept == 1 ? " record, which is kept" : " records, which are kept");
}

}  // namespace

EFillStopped::EFillStopped(const std::string& tableName, std::int64_t recordsKept)
    : Exception(StoppedText(tableName, recordsKept)),
      tableName_(tableName),
      recordsKept_(recordsKept) {}

}  // namespace rowsmith
