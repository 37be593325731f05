// What an interrupted tamsel4-3 leaves: every finished list in the results file, none of
// the list in progress, and an end by the signal itself (on Windows, by Ctrl-C's status).
#include <gtest/gtest.h>
#include <unistd.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "logging_finder/results_file.h"
#include "tests/support/process.h"
#include "tests/support/programs.h"

namespace {

using namespace std::chrono_literals;
using testing_support::as_written;
using testing_support::RunningProgram;

const std::string kResults = "D:\\Orvanic.txt";
const std::string kPrompt = "input 21 to exit:\n";
const std::string kThirteen = "\r  0%=>\r 25%=>\r 50%=>\r 75%=>\n" + kPrompt;
const std::string kSeven = "\r  0%=>\r 50%=>\n" + kPrompt;
// Its 8 million roots take far longer than a signal needs to arrive, even under the
// sanitizers; by 3% well over a megabyte of the list has left the program's buffer.
const std::string kLongList = "30000001\n";

bool shows(std::string_view console, std::string_view text) {
  return console.find(text) != std::string_view::npos;
}

// How an end by `signal` (0: none) shows in the status, as a shell tells it; on Windows
// Ctrl-C, the one interrupt that can be sent, ends a program with STATUS_CONTROL_C_EXIT.
int status_after(int signal) {
  if (signal == 0) return 0;
  return testing_support::kWindows ? static_cast<int>(0xC000013A) : 128 + signal;
}
int status_of(const RunningProgram& program) {
  return program.signal() != 0 ? 128 + program.signal() : program.exit_code();
}

TEST(Interrupt, KeepsTheFinishedListsAndNoPartOfTheListInProgress) {
  struct Case {
    std::vector<int> signals;    // more than one: all pending at once, the first decides
    bool in_list;                // else while waiting at the prompt
    std::vector<int> ignored{};  // from the start, as nohup leaves SIGHUP: they do nothing
  };
  const Case cases[] = {
      {{SIGINT}, true},
      {{SIGINT}, false},
#ifndef _WIN32  // Windows has console events instead, and Wine delivers only Ctrl-C
      {{SIGTERM}, true},
      {{SIGHUP}, false},
      // A closed terminal's hangup, then Ctrl-C and a kill on top of it.
      {{SIGHUP, SIGINT, SIGTERM}, true},
      {{SIGHUP, SIGINT, SIGTERM}, false},
      {{SIGHUP}, false, {SIGHUP}},
      // Every other signal that would end it, by default or with a core dump.
      {{SIGQUIT}, true},
      {{SIGUSR1}, false},
      {{SIGUSR2, SIGALRM}, true},
      {{SIGUSR1}, false, {SIGUSR1}},
#endif
  };
#ifndef _WIN32
  const rlimit no_core{0, 0};  // SIGQUIT's core dump is not wanted here
  ::setrlimit(RLIMIT_CORE, &no_core);
#endif
  for (const Case& c : cases) {
    std::string trace = c.in_list ? "in a list, signals" : "at the prompt, signals";
    for (const int signal : c.signals) trace += " " + std::to_string(signal);
    SCOPED_TRACE(trace + (c.ignored.empty() ? "" : " (ignored)"));
    const int ends_by = c.ignored == c.signals ? 0 : c.signals.front();
    // On Windows the results file is on drive D, left from an earlier run.
    RunningProgram program(
        TAMSEL43_PATH, RunningProgram::Console::pipe,
        [](const std::string& dir) { std::filesystem::remove(testing_support::results_path(dir)); },
        c.ignored);
    program.type(c.in_list ? "13\n" + kLongList : "13\n");
    // Into a pipe the list of 13 is still in the program's buffer at the prompt.
    ASSERT_TRUE(program.wait_for(
        [&](std::string_view console) {
          return c.in_list ? shows(console, "\r  3%") : shows(console, as_written(kThirteen));
        },
        120s))
        << program.tail().substr(0, 200);
    if (c.signals.size() == 1) {
      if (!program.send(c.signals.front())) GTEST_SKIP() << "no console to carry Ctrl-C";
    } else {
      ASSERT_TRUE(program.send_at_once(c.signals));
    }
    if (ends_by == 0) program.type("7\n21\n");  // nothing caught: it answers on, up to 21
    ASSERT_TRUE(program.finish(60s));

    EXPECT_EQ(status_of(program), status_after(ends_by));
    EXPECT_EQ(testing_support::read_file(testing_support::results_path(program.directory())),
              as_written(ends_by == 0 ? "2 6 7 11\n3 5\n" : "2 6 7 11\n"));
    EXPECT_EQ(program.errors(), "");
    EXPECT_TRUE(program.head().starts_with(as_written(kThirteen)));
    if (!c.in_list) {
      EXPECT_EQ(program.head(), as_written(kThirteen + (ends_by == 0 ? kSeven : "")));
    }
  }
}

TEST(Interrupt, StopsWithinMomentsWhileTheLargestListIsMarked) {
  // 2147483647's roots take seconds to mark before the first one is written; the signal
  // must not wait for that. At a terminal the prompt of 13 shows that it has begun.
  if (testing_support::kWindows) GTEST_SKIP() << "no pseudo-terminal on Windows";
  RunningProgram program(TAMSEL43_PATH, RunningProgram::Console::terminal);
  program.type("13\n2147483647\n");
  ASSERT_TRUE(program.wait_for(
      [](std::string_view console) { return shows(console, "input 21 to exit:"); }, 60s));
  std::this_thread::sleep_for(300ms);
  const auto sent = std::chrono::steady_clock::now();
  program.send(SIGINT);
  ASSERT_TRUE(program.finish(60s));
  EXPECT_LT(std::chrono::steady_clock::now() - sent, 1500ms);
  EXPECT_EQ(program.signal(), SIGINT);
  EXPECT_EQ(program.results(kResults), "2 6 7 11\n");
  EXPECT_EQ(program.errors(), "");
}

TEST(Interrupt, SavingOnTheWayOutStillReportsAFullDisk) {
  // The results file is /dev/full: the list of 13 fails when it is saved after the signal.
  if (testing_support::kWindows) GTEST_SKIP() << "Windows has no /dev/full";
  RunningProgram program(TAMSEL43_PATH, RunningProgram::Console::pipe, [](const std::string& dir) {
    std::filesystem::create_symlink("/dev/full", dir + "/" + kResults);
  });
  program.type("13\n");
  ASSERT_TRUE(
      program.wait_for([](std::string_view console) { return shows(console, kPrompt); }, 120s));
  program.send(SIGINT);
  ASSERT_TRUE(program.finish(60s));
  EXPECT_EQ(program.signal(), SIGINT);
  EXPECT_EQ(program.errors(), "tamsel4-3: cannot write D:\\Orvanic.txt: No space left on device\n");
}

// The part of an unfinished list that already left the buffer is cut off the file again.
TEST(Interrupt, TakesBackAnUnfinishedList) {
  const std::string finished = "3 5\n2 6 7 11\n";
  // Bytes of the list in progress: none, a few, and more than the buffer holds.
  const std::size_t cases[] = {0, 9, (1 << 20) + 5, 3 << 20};
  const std::string dir = testing_support::make_temp_directory();
  const std::string path = dir + "/results";
  for (const std::size_t unfinished : cases) {
    SCOPED_TRACE(unfinished);
    logging_finder::ResultsFile results(path.c_str());
    results.buffer()->put(finished);
    const logging_finder::ResultsFile::Mark mark = results.mark();
    for (std::size_t i = 0; i < unfinished; ++i) results.buffer()->put(i % 2 ? ' ' : '7');
    results.check();
    results.take_back(mark);
    results.close();
    EXPECT_FALSE(results.failed());
    EXPECT_EQ(testing_support::read_file(path), finished);
  }
  std::filesystem::remove_all(dir);
}

TEST(Interrupt, SaysWhenAnUnfinishedListCannotBeTakenBack) {
  // A device cannot be cut back; the part already written stays, and the user is told why.
  if (testing_support::kWindows) GTEST_SKIP() << "Windows has no /dev/null";
  testing::internal::CaptureStderr();
  {
    logging_finder::ResultsFile results("/dev/null");
    const logging_finder::ResultsFile::Mark mark = results.mark();
    results.buffer()->put(std::string((3 << 20) / 2, '7'));
    results.take_back(mark);
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "tamsel4-3: /dev/null holds part of an unfinished list: it is not a regular file, so "
            "it cannot be cut back\n");
}

}  // namespace
