// The programs in the company of other processes and limits: a reader that leaves early,
// too little memory, and lists far longer than any buffer.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "core/tables.h"
#include "first_lister/routines.h"
#include "tests/support/process.h"
#include "tests/support/programs.h"

namespace {

using testing_support::Program;
using testing_support::quoted;
using testing_support::RunOptions;
using testing_support::RunResult;

#ifndef _WIN32
TEST(Driver, NoProgramOutlivesItsTest) {
  // A test killed as CTest kills one at its time limit, while its program waits for input.
  const std::string dir = testing_support::make_temp_directory();
  const pid_t test = ::fork();
  ASSERT_GE(test, 0);
  if (test == 0) {
    // Its input a FIFO that it holds open itself: it ends only when killed.
    testing_support::run_shell(
        "mkfifo in && exec 3<>in && echo $$ >pid.tmp && mv pid.tmp pid && exec " +
            quoted(TAMSEL42_PATH) + " <in",
        "", {.working_directory = dir});
    ::_exit(0);
  }
  std::string pid;
  for (int tries = 0; tries < 500 && pid.empty(); ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    pid = testing_support::read_file(dir + "/pid");
  }
  ::kill(test, SIGKILL);
  ::waitpid(test, nullptr, 0);
  ASSERT_FALSE(pid.empty());
  // Gone, or a zombie that nobody reaps in a container.
  const std::string stat = "/proc/" + pid.substr(0, pid.size() - 1) + "/stat";
  bool gone = false;
  for (int tries = 0; tries < 200 && !gone; ++tries) {
    const std::string text = testing_support::read_file(stat);
    gone = text.empty() || text.find(") Z") != std::string::npos;
    if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(gone) << "the program outlived its test";
  std::filesystem::remove_all(dir);
}
#endif

// Why a program cannot be run under an address-space limit here, or null.
const char* no_address_space_limit() {
#ifdef TAMSEL_SANITIZED
  return "sanitized programs cannot start under an address-space limit";
#else
  return testing_support::kWindows ? "the address-space limit comes from a POSIX shell's ulimit"
                                   : nullptr;
#endif
}

class Environment : public testing::TestWithParam<Program> {
 protected:
  void SetUp() override { options_.working_directory = testing_support::make_temp_directory(); }
  void TearDown() override { std::filesystem::remove_all(options_.working_directory); }

  RunResult run(const std::string& input) {
    return testing_support::run_program(GetParam().path, input, options_);
  }

  std::string in_directory(const std::string& name) const {
    return testing_support::read_file(options_.working_directory + "/" + name);
  }

  RunOptions options_;
};

TEST_P(Environment, ReaderGoingAwayEndsTheRunQuietly) {
  if (testing_support::kWindows) GTEST_SKIP() << "needs a POSIX shell and head";
  // Like `prog | head -c 10`: several megabytes of answers, of which head wants ten bytes.
  const std::string input = "999983\n999983\n999983\n";
  const RunResult r = testing_support::run_shell(
      "{ " + quoted(GetParam().path) + "; echo $? >status; } | head -c 10 >head", input, options_);
  ASSERT_FALSE(r.timed_out);
  EXPECT_EQ(r.err, "");  // no message: the reader left, nothing went wrong
  const std::string status = in_directory("status");
  EXPECT_NE(status, "") << "the program's status was not recorded";
  EXPECT_NE(status, "0\n") << "a cut-off run must not report success";
  EXPECT_EQ(in_directory("head"), run(input).out.substr(0, 10));
}

// Where answers and messages reach one file, each message stands after the answers
// before it; elsewhere they may be gathered, and the two streams hold the same text.
TEST_P(Environment, MessagesKeepTheirPlaceWhereAnswersMeetThem) {
  if (testing_support::kWindows) GTEST_SKIP() << "needs a POSIX shell";
  const std::string input = "7 -1 13 99999999999 25\n";
  const auto message = [&](const char* number) {
    return GetParam().name + ": " + number + " is out of range (0 to 2147483647)\n";
  };
  const std::string apart =
      run("7").out + message("-1") + run("13").out + message("99999999999") + run("25").out;
  for (const char* redirect : {">both 2>&1", ">>both 2>>both"}) {
    const RunResult r = testing_support::run_shell(
        "exec " + quoted(GetParam().path) + " " + redirect, input, options_);
    ASSERT_FALSE(r.timed_out);
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(in_directory("both"), apart) << redirect;
    std::filesystem::remove(options_.working_directory + "/both");
  }
}

TEST_P(Environment, TooLittleMemoryForTheLargestListIsReported) {
  if (const char* reason = no_address_space_limit()) GTEST_SKIP() << reason;
  // 2147483647 is prime; listing its roots needs far more than 150 MB.
  const Program& p = GetParam();
  const RunResult limited = testing_support::run_shell(
      "ulimit -c 0; ulimit -v 150000; exec " + quoted(p.path), "7\n2147483647\n13\n", options_);
  ASSERT_FALSE(limited.timed_out);
  EXPECT_EQ(limited.signal, 0) << "ended by a signal instead of a message";
  EXPECT_EQ(limited.exit_code, 1);
  EXPECT_EQ(limited.err, p.name + ": 2147483647: not enough memory to list the roots\n");
  // 7 came before and was answered as usual.
  const std::string seven = run("7\n").out;
  EXPECT_EQ(limited.out.substr(0, seven.size()), seven);
}

TEST_P(Environment, StreamsLeftNonBlockingAreWaitedFor) {
  // Some runtimes start programs with non-blocking standard streams. The input comes
  // late and the reader is slow: neither may cut the answers short.
  if (testing_support::kWindows) GTEST_SKIP() << "needs a POSIX shell and python3";
  if (!testing_support::have_tool("python3")) GTEST_SKIP() << "no python3 to set the streams";
  const std::string numbers = "7 1000003 13";
  const RunResult r = testing_support::run_shell(
      "{ sleep 1.5; echo " + numbers +
          "; } | { python3 -c 'import os, sys\n"
          "for fd in 0, 1: os.set_blocking(fd, False)\nos.execv(sys.argv[1], sys.argv[1:])' " +
          quoted(GetParam().path) + "; echo $? >status; } | { sleep 2; cat; } >out",
      "", options_);
  ASSERT_FALSE(r.timed_out);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(in_directory("status"), "0\n");
  EXPECT_TRUE(in_directory("out") == run(numbers).out) << "answers differ or were cut short";
}

// Each row runs under an address-space limit, left in $kib by a shell snippet: a limit the
// program must work in, or one so tight that an allocation fails. A failure must be
// reported, not crash the program, and what came before it answered as usual; tables that
// do not fit are no failure.
TEST_P(Environment, TooLittleMemoryIsReportedInsteadOfACrash) {
  if (const char* reason = no_address_space_limit()) GTEST_SKIP() << reason;
  const Program& p = GetParam();
  const std::string program = quoted(p.path);
  // The smallest limit, in steps of 256 KiB, under which `input | program args` succeeds
  // (the shell's notes of the runs that crash on the way are dropped).
  const auto smallest_limit = [&](const std::string& input, const std::string& args) {
    return "for kib in $(seq 1024 256 65536); do " + input + " | (ulimit -v $kib; exec " + program +
           args + ") >/dev/null 2>&1 && break; done 2>/dev/null; ";
  };
  const int before_tables = p.name == "tamsel" ? first_lister::kFlagsOnDemand.answered_first
                                               : core::kTablesOnDemand.answered_first;
  std::string sevens;
  for (int i = 0; i <= before_tables; ++i) sevens += "7\n";
  struct Row {
    const char* name;
    std::string limit;
    std::string args;
    std::string answered;
    std::string unanswered;  // empty when the run must succeed
  };
  const Row rows[] = {
      {"help", "kib=12000; ", " --help", "", ""},
      {"version", "kib=12000; ", " --version", "", ""},
      {"small_query", "kib=12000; ", "", "7\n", ""},
      // Where the program only just starts, its output buffer cannot fit.
      {"buffers", smallest_limit("true", " --version"), "", "", "7\n"},
      // Half a megabyte above one query holds no table (tamsel's flags, the smallest, take
      // a megabyte), which the run would build after `before_tables` numbers: it answers
      // on without them, and no memory is short for the answers themselves.
      {"no_room_for_tables", smallest_limit("echo 7", "") + "kib=$((kib + 512)); ", "",
       sevens + "13\n1000001\n7\n", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    // A run that cannot start leaves an earlier results file as it was.
    std::filesystem::remove(options_.working_directory + "/" + testing_support::kResultsFile);
    const RunResult limited = testing_support::run_shell(
        "ulimit -c 0; " + row.limit + "ulimit -v $kib; exec " + program + row.args,
        row.answered + row.unanswered, options_);
    const std::string limited_file = in_directory(testing_support::kResultsFile);
    ASSERT_FALSE(limited.timed_out);
    EXPECT_EQ(limited.signal, 0) << "ended by a signal instead of a message";
    const bool fails = !row.unanswered.empty();
    EXPECT_EQ(limited.exit_code, fails ? 1 : 0);
    EXPECT_EQ(limited.err, fails ? p.name + ": not enough memory\n" : "");
    // Compared without a diff of thousands of lines, which would take minutes.
    const RunResult plain =
        testing_support::run_shell("exec " + program + row.args, row.answered, options_);
    EXPECT_TRUE(limited.out == plain.out)
        << limited.out.size() << " bytes, not " << plain.out.size();
    EXPECT_TRUE(limited_file == in_directory(testing_support::kResultsFile));
  }
}

// From the least address space the loader starts in upward, a run answers or says that
// memory is short: at the start no exception may be needed to say so.
TEST_P(Environment, EveryLimitAnswersOrSaysMemoryIsShort) {
  if (const char* reason = no_address_space_limit()) GTEST_SKIP() << reason;
  const Program& p = GetParam();
  const RunResult r = testing_support::run_shell(
      "ulimit -c 0; for kib in $(seq 1024 16 6144); do "
      "echo 7 | (ulimit -v $kib; exec " +
          quoted(p.path) +
          " >/dev/null 2>err); st=$?; "
          "case $st:$(cat err) in "
          "'0:') echo answered ;; '1:" +
          p.name +
          ": not enough memory') ;; "
          "127:*'loading shared libraries'*|127:*'cannot allocate TLS'*) ;; "
          "*) echo \"$kib KiB: status $st, $(cat err)\" ;; esac; done | sort -u",
      "", options_);
  ASSERT_FALSE(r.timed_out);
  EXPECT_EQ(r.out, "answered\n");
}

// Tables that only save time give way to a list that does not fit beside them: between
// the limit at which the list fits alone and far above it, a batch that builds them
// first answers all the same. 16777259, a prime, has a bitmap of 2 MB.
TEST_P(Environment, TablesGiveWayToAList) {
  if (const char* reason = no_address_space_limit()) GTEST_SKIP() << reason;
  const Program& p = GetParam();
  if (p.logs) GTEST_SKIP() << "the same loop as tamsel4-2, with a slow console";
  const bool first = p.name == "tamsel";
  const int before_tables =
      first ? first_lister::kFlagsOnDemand.answered_first : core::kTablesOnDemand.answered_first;
  const long tables_kib = first ? first_lister::N / 1024 : core::N / 1024 * 13;
  const long from = std::max(0L, tables_kib - 3072);  // above the least limit
  std::ofstream batch(options_.working_directory + "/batch");
  for (int i = 0; i <= before_tables; ++i) batch << "7\n";
  batch << "16777259\n";
  batch.close();
  const std::string run_at = "(ulimit -v $kib; exec " + quoted(p.path) + ") >/dev/null 2>err";
  const RunResult r = testing_support::run_shell(
      "ulimit -c 0; for kib in $(seq 2048 256 65536); do echo 16777259 | " + run_at +
          " && break; done; from=$((kib + " + std::to_string(from) +
          ")); for kib in $(seq $from 256 $((from + 4096))); do " + run_at +
          " <batch || echo \"$kib KiB: $(cat err)\"; done",
      "", options_);
  ASSERT_FALSE(r.timed_out);
  EXPECT_EQ(r.out, "");
}

// A killed run leaves the messages gathered before a long list: 2147483647's takes
// seconds, and a second of processor time ends the run.
TEST_P(Environment, MessagesAreOutBeforeALongList) {
  if (testing_support::kWindows) GTEST_SKIP() << "needs a POSIX shell's ulimit";
  const Program& p = GetParam();
  if (p.logs) GTEST_SKIP() << "saves and reports at a CPU limit";
  const RunResult r = testing_support::run_shell(
      "ulimit -c 0; ulimit -t 1; exec " + quoted(p.path) + " >/dev/null 2>err",
      "-5 7 2147483647 13\n", options_);
  ASSERT_FALSE(r.timed_out);
  EXPECT_NE(r.signal, 0);
  EXPECT_EQ(in_directory("err"), p.name + ": -5 is out of range (0 to 2147483647)\n");
}

// Gathered messages take bounded memory: millions of them fit in a few megabytes.
TEST_P(Environment, ManyMessagesInLittleMemory) {
  if (const char* reason = no_address_space_limit()) GTEST_SKIP() << reason;
  const Program& p = GetParam();
  std::string input;
  constexpr int kCount = 2000000;
  for (int i = 0; i < kCount; ++i) input += "-1\n";
  const RunResult r = testing_support::run_shell(
      "ulimit -c 0; ulimit -v 32768; exec " + quoted(p.path) + " >/dev/null 2>err", input,
      options_);
  ASSERT_FALSE(r.timed_out);
  EXPECT_EQ(r.exit_code, 1);
  const std::string message = p.name + ": -1 is out of range (0 to 2147483647)\n";
  const std::string err = in_directory("err");
  EXPECT_EQ(err.size(), message.size() * kCount);
  EXPECT_TRUE(err.ends_with(message));
}

// With the answers elsewhere, the messages gathered go out before the program waits for
// input: the writer sends more only once the message has come through the pipe.
TEST_P(Environment, MessagesArriveBeforeTheProgramWaits) {
  if (testing_support::kWindows) GTEST_SKIP() << "needs a POSIX shell";
  const RunResult r = testing_support::run_shell(
      "{ echo -5; i=0; until [ -s err ] || [ $i -ge 50 ]; do sleep 0.1; i=$((i + 1)); done; "
      "[ -s err ] || echo late >late; echo 7; } | " +
          quoted(GetParam().path) + " 2>&1 >out | cat >err",
      "", options_);
  ASSERT_FALSE(r.timed_out);
  EXPECT_EQ(in_directory("late"), "") << "the message waited for the end of the input";
  EXPECT_EQ(in_directory("err"), GetParam().name + ": -5 is out of range (0 to 2147483647)\n");
}

// The largest prime of the first generation's table and of the later ones' tables.
TEST_P(Environment, ListsLongerThanAnyBuffer) {
  const Program& p = GetParam();
  const RunResult r = run("999983\n1000003\n");
  ASSERT_FALSE(r.timed_out);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err, "");
  const std::string text =
      p.logs ? testing_support::read_file(testing_support::results_path(options_.working_directory))
             : r.out;
  EXPECT_TRUE(text.ends_with("\n"));
  std::istringstream lists(text);
  struct List {
    std::string start;
    long roots;
  };
  std::string line;
  for (const List& want : {List{"5 10 15 20 23 ", 493584}, List{"2 5 7 11 12 ", 333332}}) {
    ASSERT_TRUE(std::getline(lists, line));
    EXPECT_TRUE(line.starts_with(want.start)) << line.substr(0, 40);
    EXPECT_EQ(std::count(line.begin(), line.end(), ' ') + 1, want.roots);
  }
  EXPECT_FALSE(std::getline(lists, line)) << "more than two lines";
  if (p.logs) {
    // One frame per root, the last one nearly full, then the prompt.
    EXPECT_TRUE(r.out.ends_with(
        testing_support::as_written("\r 99%" + std::string(50, '=') + ">\ninput 21 to exit:\n")));
    const auto line_ends =
        testing_support::kWindows ? std::count(r.out.begin(), r.out.end(), '\n') : 0;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\r') - line_ends, 493584 + 333332);
  }
}

INSTANTIATE_TEST_SUITE_P(AllPrograms, Environment,
                         testing::ValuesIn(testing_support::all_programs()),
                         [](const auto& info) { return testing_support::test_name(info.param); });

}  // namespace
