// tamsel4-3: reads numbers from standard input and writes, for each, its primitive roots
// in ascending order to the file "D:\Orvanic.txt" in the working directory, showing a
// progress bar and then the prompt "input 21 to exit:" on the console. 21 ends the run.
#include "common/answer_loop.h"
#include "common/arguments.h"
#include "common/out_of_memory.h"
#include "logging_finder/help.h"
#include "logging_finder/logging_loop.h"
#include "logging_finder/program.h"
#include "platform/interrupts.h"
#include "platform/streams.h"

int main(int argc, char** argv) try {
  common::handle_arguments("tamsel4-3", logging_finder::kHelp, argc, argv);
  // Its console, input and results buffers, with room to spare; before the results file
  // is emptied.
  if (!common::room_to_start(std::size_t{1} << 20)) {
    return common::report_out_of_memory("tamsel4-3");
  }
  platform::prepare_standard_streams();
  platform::catch_interrupts();
  // The file comes first, so that it is empty (or reported) before any work starts.
  logging_finder::ResultsFile results(logging_finder::kResultsPath);
  common::Outcome outcome{common::kFailure};
  if (!results.refused()) outcome = logging_finder::run_logging_loop(0, 1, results);
  if (const int interrupt = platform::caught_interrupt(); interrupt != 0) {
    platform::end_by_interrupt(interrupt);
  }
  return common::end_run(outcome);
} catch (const std::bad_alloc&) {
  // A buffer (or a message's text) did not fit: the run cannot go on without it.
  return common::report_out_of_memory("tamsel4-3");
}
