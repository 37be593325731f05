// tamsel4-2: reads numbers from standard input and prints, for each, its primitive roots
// in ascending order ("1" for 2, "3" for 4, "-1" when there are none).
#include "common/filter.h"
#include "console_finder/help.h"
#include "core/answer.h"
#include "core/tables.h"

int main(int argc, char** argv) {
  core::AnswerLines answers;
  return common::run_filter(
      console_finder::kProgram, console_finder::kHelp, core::kTablesOnDemand, argc, argv,
      [&](std::int32_t n, common::OutputBuffer& out) { answers.write(n, out); });
}
