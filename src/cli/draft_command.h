// rowsmith-fill --draft: proposes a scenario for the tables of an alias and writes it to a file or
// standard output, with the draft's notes on standard error.
#pragma once

#include <cstdio>

#include "cli/cli_options.h"

namespace rowsmith {

// REQUIRES: options.command is Draft. Raises the engine's and the file's errors.
void DraftScenario(const CliOptions& options, std::FILE* out, std::FILE* notes);

}  // namespace rowsmith
