#pragma once

#include <cstdint>

#include "common/answer_loop.h"
#include "logging_finder/results_file.h"

namespace logging_finder {

// tamsel4-3's answer loop, run with the results file open: reads numbers from input_fd
// and, until 21, the end of input or a token that is not a number, answers each (and
// builds the tables when they pay off, see core::kTablesOnDemand). Root lists go to
// `results`, one line per list, while the console (console_fd) shows a progress bar per
// list and then the prompt "input 21 to exit:"; "1", "3" and "-1" answers go to the
// console only. Closes `results` at the end.
// Once an interrupt has been caught (platform/interrupts.h), or the console's reader has
// gone away, it stops at the next number or within the list in progress, which it takes
// back out of `results`; at a terminal the cut-off bar line is then ended. The caller
// then ends the process as the interrupt or the broken pipe would.
// A list whose count disagrees with its plan (a fault of the listing) ends the run like
// an interrupt as far as the file goes, but is reported on standard error as an internal
// error and gives common::kInternalError.
// The status is otherwise 0 or 1 (an out-of-range number, a results-file or console
// failure; each reported on standard error); the outcome tells too when the console's
// reader has gone.
// For tests only: `skew` makes the list of one number expected to hold `by` roots more
// than its plan says, so that a list that disagrees with its plan can be provoked.
struct CountSkew {
  std::int32_t number = -1;
  std::int64_t by = 0;
};
common::Outcome run_logging_loop(int input_fd, int console_fd, ResultsFile& results,
                                 CountSkew skew = {});

}  // namespace logging_finder
