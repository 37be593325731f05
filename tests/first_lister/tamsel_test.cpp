#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/run_program.h"

namespace {

using testing_support::run_program;
using testing_support::RunOptions;
using testing_support::Stdout;

TEST(Tamsel, AnswersOneLinePerNumber) {
  const auto run = run_program(TAMSEL_PATH, "2 4 3 6 7");
  EXPECT_EQ(run.out, "1\n3\n2\n5\n3 5\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.exit_code, 0);

  EXPECT_EQ(run_program(TAMSEL_PATH, "9\n18\n13\n25\n").out,
            "2 5\n5 11\n2 6 7 11\n2 3 8 12 13 17 22 23\n");
}

TEST(Tamsel, NumbersWithoutRootsGiveMinusOne) {
  // Powers of two, several odd primes, 4·p, 1 and 0; also beyond the flag table.
  const auto run = run_program(TAMSEL_PATH, "8 12 21 32 1 0 2097152 1000001 4000012");
  EXPECT_EQ(run.out, "-1\n-1\n-1\n-1\n-1\n-1\n-1\n-1\n-1\n");
  EXPECT_EQ(run.exit_code, 0);
}

TEST(Tamsel, LargestPrimeInTheTable) {
  const auto run = run_program(TAMSEL_PATH, "999983");
  ASSERT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out.rfind("5 10 15 20 23 ", 0), 0u);
  EXPECT_EQ(run.out.find('\n'), run.out.size() - 1);
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), ' '), 493584 - 1);
}

TEST(Tamsel, EmptyInputAndInputThatIsNotANumber) {
  const auto empty = run_program(TAMSEL_PATH, "");
  EXPECT_EQ(empty.out, "");
  EXPECT_EQ(empty.exit_code, 0);

  // The run ends at the first token that is not a number; nothing is answered twice.
  const auto stop = run_program(TAMSEL_PATH, "7 x 9");
  EXPECT_EQ(stop.out, "3 5\n");
  EXPECT_EQ(stop.err, "");
  EXPECT_EQ(stop.exit_code, 0);
}

TEST(Tamsel, NumbersOutOfRangeAreReportedAndSkipped) {
  const auto run = run_program(TAMSEL_PATH, "-5 7 2147483648 9 123456789012345678901234567890 6\n");
  EXPECT_EQ(run.out, "3 5\n2 5\n5\n");
  EXPECT_EQ(run.err,
            "tamsel: -5 is out of range (0 to 2147483647)\n"
            "tamsel: 2147483648 is out of range (0 to 2147483647)\n"
            "tamsel: 123456789012345678901234567890 is out of range (0 to 2147483647)\n");
  EXPECT_EQ(run.exit_code, 1);
}

TEST(Tamsel, AFailedWriteIsReported) {
  RunOptions full;
  full.stdout_mode = Stdout::dev_full;
  const auto run = run_program(TAMSEL_PATH, "7\n", full);
  EXPECT_NE(run.exit_code, 0);
  EXPECT_NE(run.err.find("tamsel: write error"), std::string::npos) << run.err;
}

}  // namespace
