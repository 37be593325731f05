// tamsel4-3: reads numbers from standard input and writes, for each, its primitive roots
// in ascending order to the file "D:\Orvanic.txt" in the working directory, showing a
// progress bar and then the prompt "input 21 to exit:" on the console. 21 ends the run.
#include "common/answer_loop.h"
#include "common/arguments.h"
#include "common/out_of_memory.h"
#include "common/standard_streams.h"
#include "logging_finder/help.h"
#include "logging_finder/interrupt.h"
#include "logging_finder/logging_loop.h"
#include "logging_finder/program.h"

int main(int argc, char** argv) try {
  common::handle_arguments("tamsel4-3", logging_finder::kHelp, argc, argv);
  common::guard_standard_descriptors();
  common::defer_broken_pipe_signal();
  logging_finder::catch_interrupts();
  // The file comes first, so that it is empty (or reported) before any work starts.
  logging_finder::ResultsFile results(logging_finder::kResultsPath);
  const int status = logging_finder::run_logging_loop(0, 1, results);
  if (const int signal = logging_finder::caught_signal(); signal != 0) {
    logging_finder::end_by_signal(signal);
  }
  if (status == common::kBrokenPipe) common::finish_broken_pipe();
  return status;
} catch (const std::bad_alloc&) {
  // A buffer (or a message's text) did not fit: the run cannot go on without it.
  return common::report_out_of_memory("tamsel4-3");
}
