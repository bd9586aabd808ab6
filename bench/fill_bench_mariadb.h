// The MariaDB half of fill_bench: a fresh database on a server, the bench table filled through
// the real FillEngine over a DRIVER=MARIADB alias, then the same generated values loaded with
// LOAD DATA LOCAL INFILE from a ready file of them, each on a fresh table; an update loads them
// into a scratch table and writes them over the table's rows with one UPDATE. The server is the
// one whose socket ROWSMITH_TEST_MYSOCKET names (run under tests/support/with-mariadb), as root.
#pragma once

#include "bench_common.h"

namespace rowsmith::bench {

// Prints "rowsmith", "load_data", "peak_rss_mb" and, last, "ratio". Gives the exit status.
int RunMariaDb(const BenchOptions& options);

}  // namespace rowsmith::bench
