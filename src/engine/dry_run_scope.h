// DryRunScope: the span of a dry run on an alias's connection. Everything written inside it, by
// as many fill runs as it holds, is rolled back when it ends, normally or by an error, so the
// database is left exactly as it was.
#pragma once

#include <string>

namespace rowsmith {

class Connection;

class DryRunScope {
public:
    // REQUIRES: the session keeps its connections until the scope has ended.
    explicit DryRunScope(const std::string& alias);
    ~DryRunScope();
    DryRunScope(const DryRunScope&) = delete;
    DryRunScope& operator=(const DryRunScope&) = delete;

    // Rolls back and ends the dry run; errors of the rollback are raised here. The destructor
    // ends a dry run that was not finished (an error is on its way) and keeps quiet.
    void Finish();

private:
    Connection* connection_;
};

}  // namespace rowsmith
