#pragma once

// tamsel4-3's whole run once its standard descriptors are safe to use: reads numbers
// from input_fd and, until 21, the end of input or a token that is not a number, answers
// each. Root lists go to the results file at results_path, one line per list, while the
// console (console_fd) shows a progress bar per list and then the prompt
// "input 21 to exit:"; "1", "3" and "-1" answers go to the console only.
// Returns 0, 1 (an out-of-range number, a results-file or console failure; each reported
// on standard error) or common::kBrokenPipe when the console's reader has gone.
int run_logging_finder(int input_fd, int console_fd, const char* results_path);
