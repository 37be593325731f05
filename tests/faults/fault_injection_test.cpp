// Faults from outside the program: an output that cannot be written, a reader that goes
// away, too little memory. Each must end the run with the right status and message, and
// never hang.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/faults/programs.h"
#include "tests/support/run_program.h"

namespace {

using faults::Program;
using faults::quoted;
using testing_support::RunOptions;
using testing_support::RunResult;
using testing_support::Stdout;

testing::AssertionResult Contains(const std::string& text, const std::string& part) {
  if (text.find(part) != std::string::npos) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "[" << text << "] lacks [" << part << "]";
}

class Faults : public testing::TestWithParam<Program> {
 protected:
  void SetUp() override { options_.working_directory = testing_support::make_temp_directory(); }
  void TearDown() override { std::filesystem::remove_all(options_.working_directory); }

  RunResult run(const std::string& input, Stdout mode = Stdout::capture) {
    options_.stdout_mode = mode;
    return testing_support::run_program(GetParam().path, input, options_);
  }

  RunOptions options_;
};

TEST_P(Faults, FailedWritesAreReportedWithStatusOne) {
  const Program& p = GetParam();
  struct Target {
    Stdout mode;
    const char* reason;
  };
  for (const Target& t : {Target{Stdout::closed, "Bad file descriptor"},
                          Target{Stdout::dev_full, "No space left on device"}}) {
    SCOPED_TRACE(t.reason);
    const RunResult r = run("7 13\n", t.mode);
    ASSERT_FALSE(r.timed_out);
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_TRUE(Contains(r.err, p.name + ": write error: " + t.reason + "\n"));
  }
}

TEST_P(Faults, NothingToWriteIsNoFailure) {
  // With no number read nothing is written, so a closed output does no harm.
  const RunResult r = run("", Stdout::closed);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err, "");
}

TEST_P(Faults, ReaderGoingAwayEndsTheRunQuietly) {
  // Like `prog | head -c 10`: several megabytes of answers, of which head wants ten bytes.
  const Program& p = GetParam();
  const std::string input = "999983\n999983\n999983\n";
  const std::string dir = options_.working_directory;
  const RunResult r = faults::run_shell(
      "{ " + quoted(p.path) + "; echo $? >status; } | head -c 10 >head", input, options_);
  ASSERT_FALSE(r.timed_out);
  EXPECT_EQ(r.err, "");  // no message: the reader left, nothing went wrong
  const std::string status = testing_support::read_file(dir + "/status");
  EXPECT_NE(status, "") << "the program's status was not recorded";
  EXPECT_NE(status, "0\n") << "a cut-off run must not report success";
  const std::string full = run(input).out;
  EXPECT_EQ(testing_support::read_file(dir + "/head"), full.substr(0, 10));
}

TEST_P(Faults, TooLittleMemoryForTheLargestListIsReported) {
#ifdef TAMSEL_SANITIZED
  GTEST_SKIP() << "sanitized programs cannot start under an address-space limit";
#else
  // 2147483647 is prime; listing its roots needs far more than 150 MB.
  const Program& p = GetParam();
  RunOptions options = options_;
  options.timeout_seconds = 240;
  const RunResult limited = faults::run_shell(
      "ulimit -c 0; ulimit -v 150000; exec " + quoted(p.path), "7\n2147483647\n13\n", options);
  ASSERT_FALSE(limited.timed_out);
  EXPECT_EQ(limited.signal, 0) << "ended by a signal instead of a message";
  EXPECT_NE(limited.exit_code, 0);
  EXPECT_TRUE(Contains(limited.err, p.name + ": 2147483647: not enough memory"));
  // 7 came before and was answered as usual.
  const std::string seven = run("7\n").out;
  EXPECT_EQ(limited.out.substr(0, seven.size()), seven);
#endif
}

INSTANTIATE_TEST_SUITE_P(AllPrograms, Faults, testing::ValuesIn(faults::built_programs()),
                         [](const auto& info) { return faults::test_name(info.param); });

}  // namespace

// tamsel4-3's results file: when it cannot be written the console goes on as usual, the
// failure is told on standard error and the run ends with status 1.
class ResultsFile : public testing::Test {
 protected:
  void SetUp() override { dir_ = testing_support::make_temp_directory(); }
  void TearDown() override {
    ::chmod(dir_.c_str(), 0700);
    std::filesystem::remove_all(dir_);
  }

  std::string results_path() const { return dir_ + "/" + faults::kResultsFile; }

  RunResult run(const std::string& input) {
    RunOptions options;
    options.working_directory = dir_;
    return testing_support::run_program(TAMSEL43_PATH, input, options);
  }

  // The console of a run with nothing in the way.
  static std::string usual_console(const std::string& input) {
    RunOptions options;
    options.working_directory = testing_support::make_temp_directory();
    const std::string out = testing_support::run_program(TAMSEL43_PATH, input, options).out;
    std::filesystem::remove_all(options.working_directory);
    return out;
  }

  void expect_lists_lost(const RunResult& r, const std::string& message) {
    ASSERT_FALSE(r.timed_out);
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_TRUE(Contains(r.err, "tamsel4-3: " + message));
    EXPECT_EQ(r.out, usual_console(kInput));
  }

  static constexpr const char* kInput = "7 13 2 8\n";
  std::string dir_;
};

TEST_F(ResultsFile, DirectoryInItsPlace) {
  ASSERT_EQ(::mkdir(results_path().c_str(), 0755), 0);
  expect_lists_lost(run(kInput), "cannot open D:\\Orvanic.txt: Is a directory\n");
}

TEST_F(ResultsFile, LinkToAFullDevice) {
  ASSERT_EQ(::symlink("/dev/full", results_path().c_str()), 0);
  expect_lists_lost(run(kInput), "cannot write D:\\Orvanic.txt: No space left on device\n");
}

TEST_F(ResultsFile, FolderWithoutWritePermission) {
  ASSERT_EQ(::chmod(dir_.c_str(), 0555), 0);
  if (::geteuid() != 0) {
    return expect_lists_lost(run(kInput), "cannot open D:\\Orvanic.txt: Permission denied\n");
  }
  // Root writes anywhere; run the program as nobody instead, where that is possible.
  if (std::system("setpriv --version >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "running as root and setpriv is missing: no user to lack the permission";
  }
  RunOptions options;
  options.working_directory = dir_;
  const RunResult r = faults::run_shell(
      "exec setpriv --reuid=65534 --regid=65534 --clear-groups " + quoted(TAMSEL43_PATH), kInput,
      options);
  if (r.exit_code == 126 || r.exit_code == 127) {
    GTEST_SKIP() << "the program cannot be run as nobody from here: " << r.err;
  }
  expect_lists_lost(r, "cannot open D:\\Orvanic.txt: Permission denied\n");
}

TEST_F(ResultsFile, HoldsEveryListAfterANormalEnding) {
  // The lists must match tamsel4-2's answers for the same numbers, whether the run ends
  // at 21 (9 after it is never read) or at the end of input. 999983 alone is megabytes,
  // more than any buffer holds.
  const std::string lists = "7 999983 13 25\n";
  const std::string expected =
      testing_support::run_program(TAMSEL42_PATH, lists).out;  // every one has roots
  for (const std::string input : {"7 999983 2 13 8 25 21 9\n", "7 999983 2 13 8 25"}) {
    SCOPED_TRACE(input);
    const RunResult r = run(input);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(testing_support::read_file(results_path()) == expected)
        << "the results file differs from the lists";
  }
}
