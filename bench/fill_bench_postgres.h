// The PostgreSQL half of fill_bench: a fresh database on a server, the bench table filled through
// the real FillEngine over a DRIVER=POSTGRESQL alias, then the same generated values loaded with
// COPY through libpq (or from a ready file of them), each on a fresh table; or pgbench's accounts
// table filled by the fill and by `pgbench -i -I dtg`. The server is the one
// ROWSMITH_TEST_PGHOST and ROWSMITH_TEST_PGPORT name (run under tests/support/with-postgres), or
// else libpq's own environment (PGHOST, PGPORT, PGUSER, ...).
#pragma once

#include "bench_common.h"

namespace rowsmith::bench {

// Prints "rowsmith", "copy", "file_copy" or "pgbench", "peak_rss_mb" and, last, "ratio". Gives the
// exit status.
int RunPostgres(const BenchOptions& options);

}  // namespace rowsmith::bench
