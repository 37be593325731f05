// Each program under valgrind's memcheck over a handful of inputs: no invalid access, no
// use of uninitialised memory, no leak. Skipped where valgrind is not installed.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/process.h"
#include "tests/support/programs.h"

namespace {

using testing_support::Program;
using testing_support::RunOptions;
using testing_support::RunResult;

constexpr int kValgrindError = 99;

class Memcheck : public testing::TestWithParam<Program> {};

TEST_P(Memcheck, CleanOverTypicalAndBadInput) {
  if (!testing_support::have_tool("valgrind")) GTEST_SKIP() << "valgrind is not installed";
  const Program& p = GetParam();
  struct Input {
    const char* name;
    std::string text;
  };
  const Input inputs[] = {
      {"empty", ""},
      {"small_numbers", "2 4 7 8 13 0 1 32 9 18 25\n"},
      // A long list (hundreds of thousands of roots), numbers out of range, and a token
      // that ends the run.
      {"long_list_and_bad_tokens",
       "999983 2147483646 2147483648 -5 " + std::string(300, '9') + " 6 x 7\n"},
  };
  for (const Input& input : inputs) {
    SCOPED_TRACE(input.name);
    RunOptions options;
    options.working_directory = testing_support::make_temp_directory();
    options.timeout_seconds = 60;
    const RunResult plain = testing_support::run_program(p.path, input.text, options);
    const RunResult checked = testing_support::run_shell(
        "exec valgrind -q --error-exitcode=" + std::to_string(kValgrindError) +
            " --leak-check=full --errors-for-leak-kinds=definite,indirect " +
            testing_support::quoted(p.path),
        input.text, options);
    std::filesystem::remove_all(options.working_directory);
    ASSERT_FALSE(checked.timed_out);
    EXPECT_NE(checked.exit_code, kValgrindError) << checked.err;
    // Under valgrind the program still does exactly what it does without it.
    EXPECT_EQ(checked.exit_code, plain.exit_code);
    EXPECT_EQ(checked.err, plain.err);
    EXPECT_EQ(checked.out, plain.out);
  }
}

INSTANTIATE_TEST_SUITE_P(AllPrograms, Memcheck, testing::ValuesIn(testing_support::all_programs()),
                         [](const auto& info) { return testing_support::test_name(info.param); });

}  // namespace
