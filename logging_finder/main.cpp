// tamsel4-3: reads numbers from standard input and writes, for each, its primitive roots
// in ascending order to the file "D:\Orvanic.txt" in the working directory, showing a
// progress bar and then the prompt "input 21 to exit:" on the console. 21 ends the run.
#include "common/answer_loop.h"
#include "common/arguments.h"
#include "common/standard_streams.h"
#include "logging_finder/help.h"
#include "logging_finder/logging_loop.h"

int main(int argc, char** argv) {
  common::handle_arguments("tamsel4-3", logging_finder::kHelp, argc, argv);
  common::guard_standard_descriptors();
  common::defer_broken_pipe_signal();
  const int status = run_logging_finder(0, 1, "D:\\Orvanic.txt");
  if (status == common::kBrokenPipe) common::finish_broken_pipe();
  return status;
}
