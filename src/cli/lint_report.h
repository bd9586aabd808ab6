// How rowsmith-fill prints the warnings of --lint and --strict: one a line on standard output,
// "table.column: reason", then their number on standard error.
#pragma once

#include <cstdio>
#include <vector>

#include "fill/scenario_lint.h"

namespace rowsmith {

void PrintLintWarnings(const std::vector<LintWarning>& warnings, std::FILE* out,
                       std::FILE* summary);

}  // namespace rowsmith
