// BusyLoad: a busy machine for the benchmarks, made of processes that spin a shell loop until it
// goes away. Each runs in a session of its own, as other programs would: the kernel shares the
// processor between sessions first, so spinners in the benchmark's own session would take their
// share from the benchmark's client alone, not from the database server.
#pragma once

#include <sys/types.h>

#include <vector>

namespace rowsmith::bench {

class BusyLoad {
public:
    // Starts `processes` spinners; none for 0.
    explicit BusyLoad(int processes);
    // Stops them.
    ~BusyLoad();
    BusyLoad(const BusyLoad&) = delete;
    BusyLoad& operator=(const BusyLoad&) = delete;

private:
    void Stop();

    std::vector<pid_t> spinners_;
};

}  // namespace rowsmith::bench
