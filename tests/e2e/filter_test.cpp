// The programs as filters: one table of inputs, each with what every program must print,
// report and return, run over all three programs (or the one a row is about), both
// plainly and with every read and write interrupted and cut short.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/programs.h"
#include "tests/support/run_program.h"

namespace {

using testing_support::Fault;
using testing_support::Program;
using testing_support::Stdout;

const std::string kPrompt = "input 21 to exit:\n";

// The answer line of each number the rows use. tamsel4-3 writes a list to its results
// file, showing a frame per root (at these sizes, a percentage and "=>"), and prompts
// after every number that reached the root search.
struct Answer {
  std::string line;
  std::vector<int> frames = {};  // percentages, when there is a list
  bool prompted = false;         // for numbers without a list
};

const std::map<std::int64_t, Answer>& answers() {
  static const std::map<std::int64_t, Answer> table{
      {0, {"-1", {}, true}},
      {1, {"-1"}},
      {2, {"1"}},
      {3, {"2", {0}}},
      {4, {"3"}},
      {6, {"5", {0}}},
      {7, {"3 5", {0, 50}}},
      {8, {"-1"}},
      {9, {"2 5", {0, 50}}},
      {12, {"-1"}},
      {13, {"2 6 7 11", {0, 25, 50, 75}}},
      {18, {"5 11", {0, 50}}},
      {21, {"-1"}},  // ends tamsel4-3's run instead
      {25, {"2 3 8 12 13 17 22 23", {0, 12, 25, 37, 50, 62, 75, 87}}},
      {32, {"-1", {}, true}},
      // Beyond the tables; 2^21 and 2^29, being 2·4^k, reach the search.
      {1000001, {"-1"}},
      {1000012, {"-1"}},
      {2097152, {"-1", {}, true}},
      {4000012, {"-1"}},
      {536870912, {"-1", {}, true}},
      {2147483646, {"-1"}},
  };
  return table;
}

struct Row {
  const char* name;
  std::string input;
  std::vector<std::int64_t> answered;   // in order
  std::vector<std::string> rejected{};  // as echoed in the out-of-range messages
  std::string failure{};                // the last message, after "PROGRAM: "
  Stdout stdout_mode = Stdout::capture;
  Fault fault{};
  void (*prepare)(const std::string& directory) = nullptr;  // nothing is kept when set
  const char* only = nullptr;                               // the one program it is about
};

const std::string kTenThousandNines(10000, '9');
constexpr const char* kLogging = "tamsel4-3";

std::vector<Row> rows() {
  using testing_support::kAnyFile;
  return {
      {.name = "small_numbers",
       .input = "2 4 3 6 7 8 9\n13\n18 25 32 0 1 12",
       .answered = {2, 4, 3, 6, 7, 8, 9, 13, 18, 25, 32, 0, 1, 12}},
      {.name = "beyond_the_tables",
       .input = "2147483646 2097152 1000012 536870912 1000001 4000012\n",
       .answered = {2147483646, 2097152, 1000012, 536870912, 1000001, 4000012}},
      {.name = "21_between", .input = "7 21 13\n", .answered = {7, 21, 13}},
      {.name = "21_first", .input = "21 7\n", .answered = {21, 7}},
      {.name = "empty", .input = "", .answered = {}},
      {.name = "whitespace_only", .input = " \t\r\n\v\f \n", .answered = {}},
      {.name = "token_that_is_not_a_number", .input = "7 x 9", .answered = {7}},
      {.name = "token_glued_to_letters", .input = "7x 9\n", .answered = {7}},
      {.name = "sign_without_digits", .input = "7 - 9\n", .answered = {7}},
      {.name = "nul_ends_the_run", .input = std::string("7\0 9\n", 5), .answered = {7}},
      // U+0667 U+0669, Arabic-Indic seven and nine, and a fullwidth 7: not digits here.
      {.name = "arabic_indic_digits", .input = "7 \u0667\u0669 9\n", .answered = {7}},
      {.name = "fullwidth_digit", .input = "7 \uff17 9\n", .answered = {7}},
      {.name = "signs_and_leading_zeros",
       .input = "+7 007 -0 +0013 -000\n",
       .answered = {7, 7, 0, 13, 0}},
      {.name = "crlf_tabs_and_other_spaces",
       .input = "7\r\n13\r\n\t9\t\r\n\v0\f",
       .answered = {7, 13, 9, 0}},
      {.name = "ten_thousand_leading_zeros",
       .input = std::string(10000, '0') + "7\n",
       .answered = {7}},
      {.name = "negative_with_leading_zeros",
       .input = "-0007 9\n",
       .answered = {9},
       .rejected = {"-7"}},
      {.name = "sign_glued_to_number",
       .input = "7-9 13\n",
       .answered = {7, 13},
       .rejected = {"-9"}},
      {.name = "ten_thousand_digits",
       .input = "7 " + kTenThousandNines + " 13\n",
       .answered = {7, 13},
       .rejected = {kTenThousandNines}},
      // 4294967303 is 2^32 + 7: narrowed to 32 bits it would pass for 7.
      {.name = "bounds_and_64_bit_extremes",
       .input = "-5 7 2147483648 9 -1 -9223372036854775808 9223372036854775807 "
                "9223372036854775808 18446744073709551616 99999999999999999999 4294967303 "
                "123456789012345678901234567890 0 2147483646 6 13\n",
       .answered = {7, 9, 0, 2147483646, 6, 13},
       .rejected = {"-5", "2147483648", "-1", "-9223372036854775808", "9223372036854775807",
                    "9223372036854775808", "18446744073709551616", "99999999999999999999",
                    "4294967303", "123456789012345678901234567890"}},

      // Standard output that cannot be written. A failing console costs tamsel4-3 no list.
      {.name = "output_on_a_full_device",
       .input = "7 13\n",
       .answered = {7, 13},
       .failure = "write error: No space left on device",
       .stdout_mode = Stdout::dev_full},
      {.name = "output_closed",
       .input = "7 13\n",
       .answered = {7, 13},
       .failure = "write error: Bad file descriptor",
       .stdout_mode = Stdout::closed},
      // With nothing to write, a closed output does no harm.
      {.name = "output_closed_and_nothing_to_write",
       .input = "",
       .answered = {},
       .stdout_mode = Stdout::closed},
      // The reader left before the first byte: no message, and the end is by the signal.
      {.name = "reader_gone",
       .input = "7 13\n",
       .answered = {7, 13},
       .stdout_mode = Stdout::broken_pipe},

      // Failures that only a broken device or file system gives, injected.
      {.name = "read_error_at_once",
       .input = "7 13\n",
       .answered = {},
       .failure = "read error: Input/output error",
       .fault = {"read", 0, EIO, 1}},
      {.name = "read_error_after_a_line",
       .input = "7 13\n",
       .answered = {7, 13},
       .failure = "read error: Input/output error",
       .fault = {"read", 0, EIO, 2}},
      // A number cut short by the failure may be incomplete: it is not answered.
      {.name = "read_error_inside_a_number",
       .input = "7 13",
       .answered = {7},
       .failure = "read error: Input/output error",
       .fault = {"read", 0, EIO, 2}},
      {.name = "write_error_once",
       .input = "7 13\n",
       .answered = {7, 13},
       .failure = "write error: Input/output error",
       .fault = {"write", 1, EIO, 1}},

      // tamsel4-3's results file: when it cannot be kept, the console goes on as usual.
      {.name = "results_file_fails_to_close",
       .input = "7 13\n",
       .answered = {7, 13},
       .failure = "cannot close D:\\Orvanic.txt: Input/output error",
       .fault = {"close", kAnyFile, EIO, 1},
       .only = kLogging},
      {.name = "results_file_is_a_directory",
       .input = "7 13 2 8\n",
       .answered = {7, 13, 2, 8},
       .failure = "cannot open D:\\Orvanic.txt: Is a directory",
       .prepare =
           [](const std::string& dir) {
             std::filesystem::create_directory(dir + "/" + testing_support::kResultsFile);
           },
       .only = kLogging},
      {.name = "results_file_on_a_full_device",
       .input = "7 13 2 8\n",
       .answered = {7, 13, 2, 8},
       .failure = "cannot write D:\\Orvanic.txt: No space left on device",
       .prepare =
           [](const std::string& dir) {
             std::filesystem::create_symlink("/dev/full",
                                             dir + "/" + testing_support::kResultsFile);
           },
       .only = kLogging},
  };
}

struct Outcome {
  std::string out, err;
  int status = 0;                      // 128 + the signal, as a shell tells it
  std::optional<std::string> results;  // tamsel4-3's results file, when it is a file
};

std::string frame(int percent) {
  const std::string digits = std::to_string(percent);
  return "\r" + std::string(3 - digits.size(), ' ') + digits + "%=>";
}

Outcome expected(const Program& p, const Row& row) {
  Outcome e;
  std::string lists;
  for (std::int64_t n : row.answered) {
    if (p.logs && n == 21) break;
    const Answer& a = answers().at(n);
    if (!p.logs) {
      e.out += a.line + "\n";
    } else if (a.frames.empty()) {
      e.out += a.line + "\n" + (a.prompted ? kPrompt : "");
    } else {
      for (int percent : a.frames) e.out += frame(percent);
      e.out += "\n" + kPrompt;
      lists += a.line + "\n";
    }
  }
  // Answers this short go out in one write: when that fails, nothing is seen.
  const bool write_fails = row.fault.call != nullptr && row.fault.call == std::string("write");
  if (row.stdout_mode != Stdout::capture || write_fails) e.out.clear();
  for (const std::string& number : row.rejected) {
    e.err += p.name + ": " + number + " is out of range (0 to 2147483647)\n";
  }
  if (!row.failure.empty()) e.err += p.name + ": " + row.failure + "\n";
  e.status = row.stdout_mode == Stdout::broken_pipe ? 128 + SIGPIPE : e.err.empty() ? 0 : 1;
  if (p.logs && row.prepare == nullptr) e.results = lists;
  return e;
}

Outcome run(const Program& p, const Row& row, bool jitter) {
  testing_support::RunOptions options{.working_directory = testing_support::make_temp_directory(),
                                      .stdout_mode = row.stdout_mode,
                                      .fault = row.fault,
                                      .jitter = jitter};
  if (row.prepare != nullptr) row.prepare(options.working_directory);
  const auto r = testing_support::run_program(p.path, row.input, options);
  EXPECT_FALSE(r.timed_out);
  Outcome got{r.out, r.err, r.signal != 0 ? 128 + r.signal : r.exit_code, std::nullopt};
  const std::string results = options.working_directory + "/" + testing_support::kResultsFile;
  if (std::filesystem::is_regular_file(results)) got.results = testing_support::read_file(results);
  std::filesystem::remove_all(options.working_directory);
  return got;
}

// Each program; `true` adds interrupted calls, short reads and short writes throughout,
// which must change nothing.
class Filter : public testing::TestWithParam<std::tuple<Program, bool>> {};

TEST_P(Filter, EveryRow) {
  const auto& [program, jitter] = GetParam();
  for (const Row& row : rows()) {
    if (row.only != nullptr && program.name != row.only) continue;
    if (jitter && row.fault.call != nullptr) continue;  // one injected fault at a time
    SCOPED_TRACE(row.name);
    const Outcome want = expected(program, row);
    const Outcome got = run(program, row, jitter);
    EXPECT_EQ(got.out, want.out);
    EXPECT_EQ(got.err, want.err);
    EXPECT_EQ(got.status, want.status);
    EXPECT_EQ(got.results, want.results);
  }
}

INSTANTIATE_TEST_SUITE_P(AllPrograms, Filter,
                         testing::Combine(testing::ValuesIn(testing_support::all_programs()),
                                          testing::Bool()),
                         [](const auto& info) {
                           return testing_support::test_name(std::get<0>(info.param)) +
                                  (std::get<1>(info.param) ? "_jittered" : "");
                         });

}  // namespace
