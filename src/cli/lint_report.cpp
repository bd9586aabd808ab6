#include "cli/lint_report.h"

namespace rowsmith {

void PrintLintWarnings(const std::vector<LintWarning>& warnings, std::FILE* out,
                       std::FILE* summary) {
    for (const LintWarning& warning : warnings) {
        const std::string where =
            warning.column.empty() ? warning.table : warning.table + "." + warning.column;
        std::fprintf(out, "%s: %s\n", where.c_str(), warning.reason.c_str());
    }
    std::fflush(out);
    if (summary != nullptr) {
        std::fprintf(summary, "%zu %s\n", warnings.size(),
                     warnings.size() == 1 ? "warning" : "warnings");
    }
}

}  // namespace rowsmith
