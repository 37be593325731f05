// tamsel: reads numbers from standard input and prints, for each, its primitive roots in
// ascending order ("1" for 2, "3" for 4, "-1" when there are none).
#include "common/filter.h"
#include "first_lister/help.h"
#include "first_lister/routines.h"
#include "first_lister/solve.h"

int main(int argc, char** argv) {
  first_lister::Workspace work;
  return common::run_filter(
      first_lister::kProgram, first_lister::kHelp, first_lister::kFlagsOnDemand, argc, argv,
      [&](std::int32_t n, common::OutputBuffer& out) { first_lister::solve(n, out, work); });
}
