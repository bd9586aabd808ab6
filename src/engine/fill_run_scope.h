// FillRunScope: marks the span of one fill run on an alias's connection. Inside it the driver
// groups posted records into transactions instead of committing each one, which is what makes a
// fill fast; leaving the scope, normally or by an error, commits everything posted so far, so a
// failing run keeps exactly the records posted before the failure.
#pragma once

#include <string>

namespace rowsmith {

class Connection;

class FillRunScope {
public:
    // REQUIRES: the session keeps its connections (no Reset, no SetConfigFile) until the scope
    // has ended.
    explicit FillRunScope(const std::string& alias);
    ~FillRunScope();
    FillRunScope(const FillRunScope&) = delete;
    FillRunScope& operator=(const FillRunScope&) = delete;

    // Commits and ends the run; errors of the commit are raised here. The destructor ends a run
    // that was not finished (an error is on its way) and keeps quiet about a failing commit.
    void Finish();

private:
    Connection* connection_;
};

}  // namespace rowsmith
