// viewer_bench --dialog: the real Show Data dialog, offscreen, on the bench table behind an alias.
// Each round runs in a process of its own, so that each peak of memory is its own; the table is
// made once before. A round opens the dialog, drags the record scroll bar to the middle, pages up
// from there, then jumps to the last record and back to the first, timing each step to the end of
// its painting.
#pragma once

#include <string>

namespace rowsmith::bench {

// Runs `rounds` rounds on table "big" of `alias`, which holds `records` records, and prints each
// round's figures and the machine's load beside them, then every figure as min / median / max.
// With a `shot` file name, the first round saves a picture of the dialog in the middle of the
// table there. Throws when a round fails.
void RunDialogRounds(const std::string& alias, long records, int rounds, const std::string& shot);

}  // namespace rowsmith::bench
