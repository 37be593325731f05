// What only tamsel4-3 does: the progress bar of longer lists, its results file, and how
// both look to a person at a terminal. Its answers to typical and bad input, and its
// failures, are rows of tests/e2e/filter_test.cpp.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/exit_status.h"
#include "logging_finder/logging_loop.h"
#include "logging_finder/program.h"
#include "tests/support/process.h"
#include "tests/support/programs.h"

namespace {

using testing_support::as_written;
using testing_support::kResultsFile;
using testing_support::kWindows;
using testing_support::read_file;
using testing_support::RunResult;

using testing_support::kPrompt;

class LoggingFinder : public testing::Test {
 protected:
  void SetUp() override { dir_ = testing_support::make_temp_directory(); }
  void TearDown() override {
#ifndef _WIN32
    ::chmod(dir_.c_str(), 0700);
#endif
    std::filesystem::remove_all(dir_);
  }

  RunResult run(const std::string& input) {
    return testing_support::run_program(TAMSEL43_PATH, input, {.working_directory = dir_});
  }
  std::string results() const { return read_file(testing_support::results_path(dir_)); }

  std::string dir_;
};

TEST_F(LoggingFinder, LongerListsEndWithTheirLastFrame) {
  struct Case {
    std::string input, last_frame;
    std::size_t roots;
  };
  const Case cases[] = {{"59", " 96%==>", 28},
                        {"101", " 97%====>", 40},
                        {"113", " 97%" + std::string(24, '=') + ">", 48},
                        {"251", " 99%" + std::string(50, '=') + ">", 100}};
  for (const Case& c : cases) {
    const RunResult r = run(c.input);
    const std::string file = results();
    EXPECT_TRUE(r.out.ends_with(as_written("\r" + c.last_frame + "\n" + kPrompt))) << c.input;
    // A line end written as CR LF brings a CR of its own.
    const auto line_ends = kWindows ? std::count(r.out.begin(), r.out.end(), '\n') : 0;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\r') - line_ends, c.roots) << c.input;
    EXPECT_EQ(std::count(file.begin(), file.end(), ' ') + 1, c.roots) << c.input;
  }
}

TEST_F(LoggingFinder, HoldsEveryListAfterANormalEnding) {
  // The lists must match tamsel4-2's answers for the same numbers, whether the run ends
  // at 21 (9 after it is never read) or at the end of input. 999983 alone is megabytes,
  // more than any buffer holds.
  const std::string expected = testing_support::run_program(TAMSEL42_PATH, "7 999983 13 25\n").out;
  for (const std::string input : {"7 999983 2 13 8 25 21 9\n", "7 999983 2 13 8 25"}) {
    SCOPED_TRACE(input);
    const RunResult r = run(input);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(results() == expected) << "the results file differs from the lists";
  }
}

TEST_F(LoggingFinder, ResultsFileInAFolderWithoutWritePermission) {
#ifdef _WIN32
  GTEST_SKIP() << "folder permissions are POSIX's; the file is on drive D there";
#else
  ASSERT_EQ(::chmod(dir_.c_str(), 0555), 0);
  RunResult r;
  if (::geteuid() != 0) {
    r = run("7 13\n");
  } else {
    // Root writes anywhere; run the program as nobody instead, where that is possible.
    if (!testing_support::have_command("setpriv")) {
      GTEST_SKIP() << "running as root and setpriv is missing: no user to lack the permission";
    }
    r = testing_support::run_shell("exec setpriv --reuid=65534 --regid=65534 --clear-groups " +
                                       testing_support::quoted(TAMSEL43_PATH),
                                   "7 13\n", {.working_directory = dir_});
    if (r.exit_code == 126 || r.exit_code == 127) {
      GTEST_SKIP() << "the program cannot be run as nobody from here: " << r.err;
    }
  }
  EXPECT_EQ(r.err, "tamsel4-3: cannot open D:\\Orvanic.txt: Permission denied\n");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, "\r  0%=>\r 50%=>\n" + kPrompt + "\r  0%=>\r 25%=>\r 50%=>\r 75%=>\n" + kPrompt);
#endif
}

// What a hostile user can do to the results file: each script runs in the program's
// folder with $P the program, and prints the statuses it sees. The file must hold whole
// lists only, or stay as it was.
TEST_F(LoggingFinder, HostileConditionsLeaveWholeListsOnly) {
  if (kWindows) GTEST_SKIP() << "needs a POSIX shell, FIFOs, signals and ulimit";
  struct Case {
    const char* name;
    std::string script, printed, errors, file;
  };
  const std::string kFinished = "3 5\n", kSecondRun = "locked by another process\n";
  const Case cases[] = {
      // A console that takes nothing, and input still open; the interrupt must not wait.
      {"interrupt_while_a_write_is_blocked",
       "mkfifo in console; exec 3<>console 4<>in; echo 7 1000003 >&4; \"$P\" <in >console &\n"
       "pid=$!; sleep 1; kill -TERM $pid; t=$(date +%s%N); { wait $pid; } 2>/dev/null; echo $?\n"
       "[ $(( ($(date +%s%N) - t) / 1000000 )) -lt 1500 ] && echo quickly",
       "143\nquickly\n", "", kFinished},
      {"second_run_in_the_same_folder",
       "(echo 1000003; sleep 2) | \"$P\" >/dev/null & sleep 1\n"
       "echo 7 | \"$P\" >/dev/null; echo $?; wait $!; echo $?\n"
       "head -c 12 'D:\\Orvanic.txt'; rm 'D:\\Orvanic.txt'",
       "1\n0\n2 5 7 11 12 ", "tamsel4-3: D:\\Orvanic.txt is " + kSecondRun, ""},
      {"results_file_as_input_or_output",
       "echo 7 | \"$P\" >/dev/null; \"$P\" <'D:\\Orvanic.txt' >/dev/null; echo $?\n"
       "echo 13 | \"$P\" >>'D:\\Orvanic.txt'; echo $?",
       "1\n1\n",
       "tamsel4-3: D:\\Orvanic.txt is also standard input\n"
       "tamsel4-3: D:\\Orvanic.txt is also standard output\n",
       kFinished},
      {"console_reader_gone_mid_list",
       "{ echo 7 30000001 | \"$P\"; echo $? >status; } | head -c 10 >/dev/null; cat status",
       "141\n", "", kFinished},
      {"file_size_limit_mid_list", "(ulimit -f 1; echo 7 1000003 13 | \"$P\" >/dev/null; echo $?)",
       "1\n", "tamsel4-3: cannot write D:\\Orvanic.txt: File too large\n", kFinished},
      // The results file must be none of the standard streams, whatever they are: a link
      // to the program's own input pipe would hang it, one to its output pipe mix the lists
      // into the frames, and its own standard error would take the messages.
      {"results_file_a_link_to_a_standard_pipe",
       "ln -s /dev/stdin 'D:\\Orvanic.txt'; echo 7 | \"$P\" >/dev/null; echo $?; rm "
       "'D:\\Orvanic.txt'\n"
       "ln -s /dev/stdout 'D:\\Orvanic.txt'; { echo 7 | \"$P\"; echo $? >status; } | cat "
       ">/dev/null\n"
       "cat status; rm 'D:\\Orvanic.txt'",
       "1\n1\n",
       "tamsel4-3: D:\\Orvanic.txt is also standard input\n"
       "tamsel4-3: D:\\Orvanic.txt is also standard output\n",
       ""},
      {"results_file_as_standard_error",
       "echo kept >'D:\\Orvanic.txt'; echo 7 99999999999 | \"$P\" >/dev/null 2>>'D:\\Orvanic.txt'\n"
       "echo $?",
       "1\n", "", "kept\ntamsel4-3: D:\\Orvanic.txt is also standard error\n"},
      // A FIFO cannot be cut back: its reader must hear that the list it got is not whole.
      {"interrupt_with_part_of_a_list_in_a_fifo",
       "mkfifo 'D:\\Orvanic.txt'; exec 3<>'D:\\Orvanic.txt'; echo 7 1000003 | \"$P\" >/dev/null &\n"
       "pid=$!; sleep 1; kill -TERM $pid; { wait $pid; } 2>/dev/null; echo $?; rm "
       "'D:\\Orvanic.txt'",
       "143\n",
       "tamsel4-3: D:\\Orvanic.txt holds part of an unfinished list: it is not a regular file, "
       "so it cannot be cut back\n",
       ""},
      // The same with the FIFO's descriptor above what select() can wait for.
      {"interrupt_while_a_write_is_blocked_at_descriptor_1100",
       "mkfifo 'D:\\Orvanic.txt'; exec 3<>'D:\\Orvanic.txt'\n"
       "echo 7 1000003 | bash -c 'ulimit -n 2048; for i in $(seq 4 1099); do eval \"exec "
       "$i</dev/null\"; done; exec \"$0\"' \"$P\" >/dev/null &\n"
       "pid=$!; sleep 1; kill -TERM $pid; t=$(date +%s%N); { wait $pid; } 2>/dev/null; echo $?\n"
       "[ $(( ($(date +%s%N) - t) / 1000000 )) -lt 1500 ] && echo quickly; rm 'D:\\Orvanic.txt'",
       "143\nquickly\n",
       "tamsel4-3: D:\\Orvanic.txt holds part of an unfinished list: it is not a regular file, "
       "so it cannot be cut back\n",
       ""},
      // Other signals that end a program save the finished lists too.
      {"cpu_time_limit_mid_list",
       "(ulimit -c 0; ulimit -S -t 2; echo 7 2147483647 | \"$P\" >/dev/null 2>&3; echo $?) 3>&2 "
       "2>/dev/null",
       "152\n", "", kFinished},
      // `ulimit -t` sets the hard limit too, whose SIGKILL must not come with SIGXCPU.
      {"cpu_time_limit_soft_and_hard",
       "(ulimit -c 0; ulimit -t 2; echo 7 2147483647 | \"$P\" >/dev/null; echo $?) 2>/dev/null",
       "152\n", "", kFinished},
      {"interrupt_while_opening_a_fifo",
       "mkfifo 'D:\\Orvanic.txt'; \"$P\" </dev/null & pid=$!; sleep 0.5; kill -TERM $pid\n"
       "{ wait $pid; } 2>/dev/null; echo $?; rm 'D:\\Orvanic.txt'",
       "143\n", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(dir_ + "/" + kResultsFile);
    const RunResult r =
        testing_support::run_shell("P=" + testing_support::quoted(TAMSEL43_PATH) + "\n" + c.script,
                                   "", {.working_directory = dir_, .timeout_seconds = 20});
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(r.out, c.printed);
    EXPECT_EQ(r.err, c.errors);
    EXPECT_TRUE(results() == c.file) << results().substr(0, 100);
  }
}

// As when a wrapper locks the file and then becomes the program: a record lock held
// through another open in this very process is another holder too.
TEST_F(LoggingFinder, ARecordLockOfThisProcessThroughAnotherOpenIsAnotherHolder) {
  if (kWindows) GTEST_SKIP() << "record locks are POSIX's";
#ifndef _WIN32
  const std::string path = testing_support::results_path(dir_);
  std::ofstream(path) << "earlier lists\n";
  const int held = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  struct flock whole = {};
  whole.l_type = F_WRLCK;
  ASSERT_EQ(::fcntl(held, F_SETLK, &whole), 0);
  testing::internal::CaptureStderr();
  EXPECT_TRUE(logging_finder::ResultsFile(path.c_str()).refused());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "tamsel4-3: " + path + " is locked by another process\n");
  EXPECT_EQ(results(), "earlier lists\n");
  ::close(held);
#endif
}

// A list whose count disagrees with its plan (provoked through the loop's test seam) is
// an internal error, not an interrupt: reported, status 70, the lists before it kept.
// The seam skews what the loop expects, so the kernel's own check of the bitmap holds.
TEST_F(LoggingFinder, AListThatDisagreesWithItsPlanIsAnInternalError) {
#ifdef _WIN32
  const auto fd = [](std::FILE* f) { return _fileno(f); };
#else
  const auto fd = [](std::FILE* f) { return ::fileno(f); };
#endif
  for (const std::int64_t by : {1, -1}) {
    std::FILE* input = std::tmpfile();
    std::FILE* console = std::tmpfile();
    ASSERT_TRUE(input != nullptr && console != nullptr);
    std::fputs("7 13 251\n", input);
    std::fflush(input);
    std::rewind(input);
    testing::internal::CaptureStderr();
    int status;
    {
      logging_finder::ResultsFile file(testing_support::results_path(dir_).c_str());
      status = logging_finder::run_logging_loop(fd(input), fd(console), file, {13, by}).status;
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "tamsel4-3: internal error: 13: the list has 4 roots, expected " +
                  std::to_string(4 + by) + "\n");
    EXPECT_EQ(status, common::kInternalError);
    EXPECT_EQ(results(), as_written("3 5\n"));
    std::fclose(input);
    std::fclose(console);
  }
}

}  // namespace
