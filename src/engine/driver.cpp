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

TableConstraints Connection::ReadConstraints([[maybe_unused]] const std::string& table) {
    throw EDBEngineError("This database cannot tell the constraints of its tables");
}

void Connection::BeginDryRun() {
    throw EDBEngineError("This database cannot do a dry run");
}

}  // namespace rowsmith
