// MyWriter: owns the driver's connection; every change the driver makes goes through it. Outside
// a fill run each change commits at once. During a run, changes are grouped into transactions of
// many records and remembered until the commit. When the server refuses one, the transaction is
// rolled back and its changes replayed one at a time, each committing on its own, so exactly the
// changes before the failing one are kept before the server's error leaves the driver.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "engine/mariadb/my_link.h"

namespace rowsmith {

// A table as the writer sees it.
struct MyTarget {
    // The table's name as the database spells it, for messages.
    std::string name;
    // The storage engine, and whether it keeps transactions (InnoDB does, MyISAM does not).
    std::string engine;
    bool transactional = true;
};

// A change's parameters, kept with it so that it can be replayed.
struct MyValues {
    std::vector<FieldValue> values;
    std::vector<bool> bytes;
};

class MyWriter {
public:
    explicit MyWriter(std::unique_ptr<MyLink> link);

    MyLink& Link() { return *link_; }

    void BeginRun();
    // Commits what is pending; raises the failure of that commit. Runs may nest.
    void EndRun();
    bool InRun() const { return runDepth_ > 0; }

    // One change of `target`. Raises EDBEngineError for a table without transactions in a run,
    // where a failure could not be undone.
    void Execute(const MyTarget& target, const std::string& sql, const MyValues& params);

private:
    struct Step {
        std::string sql;
        MyValues params;
    };

    void Commit();
    // Rolls back and replays the transaction's steps one at a time; raises the first failure, or
    // returns with everything committed when the replay succeeds.
    void Recover();
    void Run(const Step& step);

    std::unique_ptr<MyLink> link_;
    int runDepth_ = 0;
    bool inTransaction_ = false;
    std::vector<Step> steps_;
};

}  // namespace rowsmith
