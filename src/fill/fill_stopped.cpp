#include "fill/fill_stopped.h"

#include "text/printable.h"

namespace rowsmith {

namespace {

std::string StoppedIn(const std::string& tableName) {
    return "Filling stopped in table \"" + PrintableText(tableName) + "\"";
}

std::string StoppedText(const std::string& tableName, std::int64_t recordsKept, bool emptied) {
    std::string text = StoppedIn(tableName) + " ";
    if (recordsKept == 0) {
        text += "before its first record";
    } else {
        text += "after " + std::to_string(recordsKept) +
                (recordsKept == 1 ? " record, which is kept" : " records, which are kept");
    }
    return emptied ? text + "; its former records were removed" : text;
}

}  // namespace

EFillStopped::EFillStopped(const std::string& tableName, std::int64_t recordsKept, bool emptied)
    : Exception(StoppedText(tableName, recordsKept, emptied)),
      tableName_(tableName),
      recordsKept_(recordsKept) {}

std::string FailedFillText(const std::string& tableName, std::optional<std::int64_t> recordsHeld) {
    if (!recordsHeld) {
        return StoppedIn(tableName);
    }
    return StoppedIn(tableName) + ", which now holds " + std::to_string(*recordsHeld) +
           (*recordsHeld == 1 ? " record" : " records");
}

}  // namespace rowsmith
