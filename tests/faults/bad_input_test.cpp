// Input a person or a script might really send: every program must read it the way the
// README describes, the same way for all three.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/faults/programs.h"
#include "tests/support/run_program.h"

namespace {

using faults::Program;
using testing_support::RunOptions;
using testing_support::RunResult;

struct Case {
  std::string name;
  std::string input;
  std::vector<std::int64_t> answered;  // the numbers that get an answer, in order
  std::vector<std::string> rejected;   // as echoed in the out-of-range messages
};

std::string out_of_range(const Program& p, const std::vector<std::string>& rejected) {
  std::string messages;
  for (const std::string& number : rejected) {
    messages += p.name + ": " + number + " is out of range (0 to 2147483647)\n";
  }
  return messages;
}

std::string answer_lines(const std::vector<std::int64_t>& numbers) {
  static const std::map<std::int64_t, std::string> lines{
      {0, "-1\n"}, {7, "3 5\n"}, {9, "2 5\n"}, {13, "2 6 7 11\n"}, {2147483646, "-1\n"}};
  std::string text;
  for (std::int64_t n : numbers) text += lines.at(n);
  return text;
}

std::string plain_input(const std::vector<std::int64_t>& numbers) {
  std::string text;
  for (std::int64_t n : numbers) text += std::to_string(n) + "\n";
  return text;
}

struct Outcome {
  RunResult run;
  std::string results;  // tamsel4-3's results file
};

Outcome run(const Program& p, const std::string& input) {
  RunOptions options;
  options.working_directory = testing_support::make_temp_directory();
  Outcome o{testing_support::run_program(p.path, input, options), ""};
  if (p.logs) {
    o.results = testing_support::read_file(options.working_directory + "/" + faults::kResultsFile);
  }
  std::filesystem::remove_all(options.working_directory);
  return o;
}

const std::string kTenThousandNines(10000, '9');

std::vector<Case> cases() {
  return {
      {"signs_and_leading_zeros", "+7 007 -0 +0013 -000\n", {7, 7, 0, 13, 0}, {}},
      {"negative_with_leading_zeros", "-0007 9\n", {9}, {"-7"}},
      {"crlf_tabs_and_other_spaces", "7\r\n13\r\n\t9\t\r\n\v0\f", {7, 13, 9, 0}, {}},
      {"nul_ends_the_run", std::string("7\0 9\n", 5), {7}, {}},
      {"token_glued_to_letters", "7x 9\n", {7}, {}},
      {"sign_without_digits", "7 - 9\n", {7}, {}},
      {"sign_glued_to_number", "7-9 13\n", {7, 13}, {"-9"}},
      {"empty", "", {}, {}},
      {"whitespace_only", " \t\r\n\v\f \n", {}, {}},
      {"ten_thousand_digits",
       "7 " + kTenThousandNines + " 13\n",
       {7, 13},
       {std::string(40, '9') + "... (10000 digits)"}},
      {"ten_thousand_leading_zeros", std::string(10000, '0') + "7\n", {7}, {}},
      {"bounds_and_64_bit_extremes",
       "0 2147483646 2147483648 -1 -9223372036854775808 9223372036854775807 "
       "9223372036854775808 18446744073709551616 7\n",
       {0, 2147483646, 7},
       {"2147483648", "-1", "-9223372036854775808", "9223372036854775807", "9223372036854775808",
        "18446744073709551616"}},
      // U+0667 U+0669, Arabic-Indic seven and nine, and a fullwidth 7: not digits here.
      {"arabic_indic_digits", "7 \u0667\u0669 9\n", {7}, {}},
      {"fullwidth_digit", "7 \uff17 9\n", {7}, {}},
  };
}

class BadInput : public testing::TestWithParam<Program> {};

TEST_P(BadInput, IsReadAsTheReadmeSays) {
  const Program& p = GetParam();
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.name);
    const Outcome got = run(p, c.input);
    ASSERT_FALSE(got.run.timed_out);
    EXPECT_EQ(got.run.signal, 0);
    EXPECT_EQ(got.run.exit_code, c.rejected.empty() ? 0 : 1);
    EXPECT_EQ(got.run.err, out_of_range(p, c.rejected));
    if (p.logs) {
      // Whatever the console and the results file show for the numbers given plainly.
      const Outcome plain = run(p, plain_input(c.answered));
      EXPECT_EQ(got.run.out, plain.run.out);
      EXPECT_EQ(got.results, plain.results);
    } else {
      EXPECT_EQ(got.run.out, answer_lines(c.answered));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllPrograms, BadInput, testing::ValuesIn(faults::built_programs()),
                         [](const auto& info) { return faults::test_name(info.param); });

}  // namespace
