// The README's way to spread a large batch over cores: GNU parallel cutting the input
// into blocks at line ends and keeping the output in input order gives the same bytes
// as one process.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/process.h"
#include "tests/support/programs.h"

namespace {

TEST(Parallel, SpreadBatchGivesTheSameBytesAsOneProcess) {
  if (!testing_support::have_tool("parallel")) GTEST_SKIP() << "GNU parallel is not installed";
  const std::string dir = testing_support::make_temp_directory();
  {
    // 4000 numbers, ten to a line, so that blocks hold many lines and lines many
    // numbers; small blocks make it a dozen jobs.
    std::ofstream batch(dir + "/batch");
    for (int i = 1; i <= 4000; ++i) batch << (i * 7919 % 6000) << (i % 10 == 0 ? '\n' : ' ');
  }
  for (const testing_support::Program& program : testing_support::all_programs()) {
    if (program.name == "tamsel4-3") continue;  // one shared results file: not for splitting
    SCOPED_TRACE(program.name);
    const std::string p = testing_support::quoted(program.path);
    testing_support::RunOptions options;
    options.working_directory = dir;
    options.timeout_seconds = 120;
    const auto run =
        testing_support::run_shell(p + " < batch > one && parallel --pipe -k --block 2k -j 2 " + p +
                                       " < batch > spread && cmp one spread && wc -c < one",
                                   "", options);
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_code, 0) << run.out << run.err;
    EXPECT_GT(std::stol(run.out.empty() ? "0" : run.out), 1000000) << "a batch too small";
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
