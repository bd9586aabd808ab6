// EngineParamTest: the base of tests run once per engine of TestEngines(). Every engine's cases
// are listed whichever servers run, so CTest's list of them never depends on the servers that ran
// when it was made; a case whose server is absent is skipped, with the reason, before its fixture
// opens anything.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "test_database.h"

namespace rowsmith::test {

// Marks the running test skipped when `engine`'s server is absent. Marked in a fixture's
// constructor, the skip keeps SetUp, the test body and TearDown from running.
inline void SkipWithoutServer(TestEngine engine) {
    const std::string absent = AbsentServer(engine);
    if (!absent.empty()) {
        GTEST_SKIP() << absent;
    }
}

class EngineParamTest : public ::testing::TestWithParam<TestEngine> {
protected:
    // Runs before the members of derived fixtures are made, which may not reach the server:
    // a TestDatabase of an absent server is a placeholder.
    EngineParamTest() { SkipWithoutServer(GetParam()); }
};

// "SQLite", "PostgreSQL", "MariaDB" as the parameterized test's suffix.
inline std::string EngineParamName(const ::testing::TestParamInfo<TestEngine>& info) {
    return EngineName(info.param);
}

}  // namespace rowsmith::test
