// tamsel4-2: reads numbers from standard input and prints, for each, its primitive roots
// in ascending order ("1" for 2, "3" for 4, "-1" when there are none).
#include "common/answer_loop.h"
#include "common/arguments.h"
#include "common/out_of_memory.h"
#include "console_finder/help.h"
#include "core/answer.h"
#include "core/table_policy.h"
#include "platform/interrupts.h"
#include "platform/streams.h"

int main(int argc, char** argv) try {
  common::handle_arguments("tamsel4-2", console_finder::kHelp, argc, argv);
  platform::prepare_standard_streams();

  common::OutputBuffer out(1);
  core::AnswerLines answers;
  const int status = common::run_answer_loop("tamsel4-2", 0, out, [&](std::int32_t n) {
    core::count_toward_tables(n);
    answers.write(n, out);
    return common::After::next_number;
  });
  if (status == common::kBrokenPipe) platform::end_by_broken_pipe();
  return status;
} catch (const std::bad_alloc&) {
  // A buffer (or a message's text) did not fit: the run cannot go on without it.
  return common::report_out_of_memory("tamsel4-2");
}
