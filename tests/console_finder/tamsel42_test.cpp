#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/run_program.h"

namespace {

using testing_support::run_program;

TEST(Tamsel42, AnswersEachNumberOnItsOwnLine) {
  const auto run = run_program(TAMSEL42_PATH, "2 4 7 8\n13\n21 32 0 1");
  EXPECT_EQ(run.out, "1\n3\n3 5\n-1\n2 6 7 11\n-1\n-1\n-1\n-1\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.exit_code, 0);
}

TEST(Tamsel42, EndsQuietlyAtEndOfInputOrAtATokenThatIsNotANumber) {
  const auto empty = run_program(TAMSEL42_PATH, "");
  EXPECT_EQ(empty.out, "");
  EXPECT_EQ(empty.exit_code, 0);
  const auto stopped = run_program(TAMSEL42_PATH, "7 x 9");
  EXPECT_EQ(stopped.out, "3 5\n");
  EXPECT_EQ(stopped.err, "");
  EXPECT_EQ(stopped.exit_code, 0);
}

TEST(Tamsel42, LargestTablePrime) {
  const auto run = run_program(TAMSEL42_PATH, "1000003");
  ASSERT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out.rfind("2 5 7 11 12 ", 0), 0u);
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), ' '), 333332 - 1);
  EXPECT_EQ(run.out.back(), '\n');
}

TEST(Tamsel42, NumbersOutOfRangeAreReportedAndSkipped) {
  const auto run = run_program(TAMSEL42_PATH,
                               "7 -5 2147483648 9223372036854775807 "
                               "99999999999999999999 13");
  EXPECT_EQ(run.out, "3 5\n2 6 7 11\n");
  EXPECT_EQ(run.err,
            "tamsel4-2: -5 is out of range (0 to 2147483647)\n"
            "tamsel4-2: 2147483648 is out of range (0 to 2147483647)\n"
            "tamsel4-2: 9223372036854775807 is out of range (0 to 2147483647)\n"
            "tamsel4-2: 99999999999999999999 is out of range (0 to 2147483647)\n");
  EXPECT_EQ(run.exit_code, 1);
}

TEST(Tamsel42, BeyondTheTables) {
  const auto run = run_program(TAMSEL42_PATH, "2147483646 2097152 1000012 536870912");
  EXPECT_EQ(run.out, "-1\n-1\n-1\n-1\n");
  EXPECT_EQ(run.exit_code, 0);
}

TEST(Tamsel42, FailedWritesAreReported) {
  const auto full =
      run_program(TAMSEL42_PATH, "7", {.stdout_mode = testing_support::Stdout::dev_full});
  EXPECT_EQ(full.err, "tamsel4-2: write error: No space left on device\n");
  EXPECT_EQ(full.exit_code, 1);
  const auto closed =
      run_program(TAMSEL42_PATH, "7", {.stdout_mode = testing_support::Stdout::closed});
  EXPECT_EQ(closed.err, "tamsel4-2: write error: Bad file descriptor\n");
  EXPECT_EQ(closed.exit_code, 1);
}

}  // namespace
