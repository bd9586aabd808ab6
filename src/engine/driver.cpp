#include "engine/driver.h"

#include "engine/database_errors.h"

namespace rowsmith {

std::string QuoteIdentifier(const std::string& name) {
    std::string quoted;
    quoted.reserve(name.size() + 2);
    quoted += '"';
    for (char c : name) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    quoted += '"';
    return quoted;
}

void Connection::BeginDryRun() {
    throw EDBEngineError("This database cannot do a dry run");
}

}  // namespace rowsmith
