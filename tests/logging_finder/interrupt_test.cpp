// What an interrupted tamsel4-3 leaves: every finished list in the results file, none of
// the list in progress, and an end by the signal itself (on Windows, by Ctrl-C's status).
#include <gtest/gtest.h>
#ifndef _WIN32
#ifdef __linux__
#include <sys/prctl.h>
#endif
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "logging_finder/results_file.h"
#include "platform/interrupts.h"
#include "platform/streams.h"
#include "tests/support/process.h"
#include "tests/support/programs.h"

namespace {

using namespace std::chrono_literals;
using testing_support::as_written;
using testing_support::RunningProgram;

using testing_support::kPrompt;
using testing_support::kResultsFile;
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
  // Processor time, not the clock's: other work on a busy machine stretches the latter.
  const auto before = program.processor_time();
  program.send(SIGINT);
  ASSERT_TRUE(program.finish(60s));
  EXPECT_LT(program.processor_time() - before, 1000ms);  // marking it all takes seconds
  EXPECT_EQ(program.signal(), SIGINT);
  EXPECT_EQ(program.results(kResultsFile), "2 6 7 11\n");
  EXPECT_EQ(program.errors(), "");
}

TEST(Interrupt, SavingOnTheWayOutStillReportsAFullDisk) {
  // The results file is /dev/full: the list of 13 fails when it is saved after the signal.
  if (testing_support::kWindows) GTEST_SKIP() << "Windows has no /dev/full";
  RunningProgram program(TAMSEL43_PATH, RunningProgram::Console::pipe, [](const std::string& dir) {
    std::filesystem::create_symlink("/dev/full", dir + "/" + kResultsFile);
  });
  program.type("13\n");
  ASSERT_TRUE(
      program.wait_for([](std::string_view console) { return shows(console, kPrompt); }, 120s));
  program.send(SIGINT);
  ASSERT_TRUE(program.finish(60s));
  EXPECT_EQ(program.signal(), SIGINT);
  EXPECT_EQ(program.errors(), "tamsel4-3: cannot write D:\\Orvanic.txt: No space left on device\n");
}

TEST(Interrupt, CutsBackToListsWrittenOutInManyWrites) {
  // 999983's list is megabytes, out in many writes before the long list begins; the cut
  // after the interrupt must count every byte of them.
  RunningProgram program(TAMSEL43_PATH, RunningProgram::Console::pipe, [](const std::string& dir) {
    std::filesystem::remove(testing_support::results_path(dir));
  });
  program.type("13\n999983\n" + kLongList);
  const std::string ended = as_written("==>\n" + kPrompt);  // 13's bar has no "=="
  bool long_list_begun = false;
  ASSERT_TRUE(program.wait_for(
      [&](std::string_view console) {
        long_list_begun = long_list_begun || shows(console, ended);
        return long_list_begun && shows(console, "\r  3%");
      },
      120s));
  ASSERT_TRUE(program.send(SIGINT));
  ASSERT_TRUE(program.finish(60s));
  EXPECT_EQ(status_of(program), status_after(SIGINT));
  EXPECT_TRUE(testing_support::read_file(testing_support::results_path(program.directory())) ==
              testing_support::run_program(TAMSEL42_PATH, "13 999983\n").out);
}

#ifndef _WIN32
TEST(Interrupt, SavingGivesAStreamOnlyTheRoomItHas) {
  // A pipe with 16 KiB of room and a megabyte to save after an interrupt: the write must
  // take what fits and give up on the rest, not wait for a reader. In a child of its own,
  // as the interrupt stays caught; if the write blocks after all, the child is killed at a
  // deadline, by a signal it cannot catch.
  int ends[2], report[2];
  ASSERT_EQ(::pipe(ends), 0);
  ASSERT_EQ(::pipe(report), 0);
  const std::size_t room = 16 << 10;
  const std::string full(65536 - room, '7');  // whole pages, so the room is whole pages too
  ASSERT_EQ(::write(ends[1], full.data(), full.size()), static_cast<ssize_t>(full.size()));
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
#ifdef __linux__
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // not outliving the test either
#endif
    platform::catch_interrupts();
    std::raise(SIGINT);
    const std::string rest(1 << 20, '7');
    const platform::Transfer done = platform::write_all(ends[1], rest);
    const ssize_t sent = ::write(report[1], &done, sizeof done);
    ::_exit(sent == sizeof done ? 0 : 1);
  }
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (::waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      break;
    }
    std::this_thread::sleep_for(10ms);
  }
  ASSERT_TRUE(WIFEXITED(status)) << "the write blocked until the child was killed";
  platform::Transfer done;
  ASSERT_EQ(::read(report[0], &done, sizeof done), static_cast<ssize_t>(sizeof done));
  EXPECT_EQ(done.bytes, room);
  EXPECT_TRUE(done.interrupted);
  for (const int fd : {ends[0], ends[1], report[0], report[1]}) ::close(fd);
}
#endif

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
