#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "common/answer_loop.h"
#include "core/tables.h"
#include "logging_finder/logging_loop.h"
#include "tests/support/run_program.h"

namespace {

using testing_support::make_temp_directory;
using testing_support::read_file;
using testing_support::run_program;

const std::string kResults = "D:\\Orvanic.txt";
const std::string kPrompt = "input 21 to exit:\n";
const std::string kSeven = "\r  0%=>\r 50%=>\n" + kPrompt;
const std::string kThirteen = "\r  0%=>\r 25%=>\r 50%=>\r 75%=>\n" + kPrompt;

struct Outcome {
  testing_support::RunResult result;
  std::string file;
  bool file_exists = false;
};

void nothing(const std::string&) {}

// Runs tamsel4-3 in a fresh directory; `prepare` may put things there first.
Outcome run(const std::string& input, void (*prepare)(const std::string&) = nothing,
            testing_support::Stdout stdout_mode = testing_support::Stdout::capture) {
  const std::string dir = make_temp_directory();
  prepare(dir);
  Outcome run;
  run.result = run_program(TAMSEL43_PATH, input, {dir, stdout_mode});
  run.file_exists = std::filesystem::is_regular_file(dir + "/" + kResults);
  if (run.file_exists) run.file = read_file(dir + "/" + kResults);  // not /dev/full
  std::filesystem::remove_all(dir);
  return run;
}

TEST(LoggingFinder, AnswersOnTheConsoleAndListsInTheFile) {
  struct Case {
    std::string input, console, file;
  };
  const Case cases[] = {
      {"7\n", kSeven, "3 5\n"},
      {"13", kThirteen, "2 6 7 11\n"},
      {"7 13\n", kSeven + kThirteen, "3 5\n2 6 7 11\n"},
      {"2 4 8 1\n", "1\n3\n-1\n-1\n", ""},  // never reach the search: no prompt
      {"32 0\n", "-1\n" + kPrompt + "-1\n" + kPrompt, ""},
      {"21 7\n", "", ""},
      {"7 21 13\n", kSeven, "3 5\n"},
      {"7 x 13\n", kSeven, "3 5\n"},
  };
  for (const Case& c : cases) {
    const Outcome r = run(c.input);
    EXPECT_EQ(r.result.out, c.console) << c.input;
    EXPECT_TRUE(r.file_exists) << c.input;
    EXPECT_EQ(r.file, c.file) << c.input;
    EXPECT_EQ(r.result.err, "") << c.input;
    EXPECT_EQ(r.result.exit_code, 0) << c.input;
  }
}

TEST(LoggingFinder, LongerListsEndWithTheirLastFrame) {
  struct Case {
    std::string input, last_frame;
    std::size_t roots;
  };
  const Case cases[] = {{"59", " 96%==>", 28},
                        {"101", " 97%====>", 40},
                        {"113", " 97%" + std::string(24, '=') + ">", 48},
                        {"251", " 99%" + std::string(50, '=') + ">", 100}};
  for (const Case& c : cases) {
    const Outcome r = run(c.input);
    EXPECT_TRUE(r.result.out.ends_with("\r" + c.last_frame + "\n" + kPrompt)) << c.input;
    EXPECT_EQ(std::count(r.result.out.begin(), r.result.out.end(), '\r'), c.roots) << c.input;
    EXPECT_EQ(std::count(r.file.begin(), r.file.end(), ' ') + 1, c.roots) << c.input;
  }
}

TEST(LoggingFinder, ListsBeyondTheTables) {
  const Outcome r = run("1000003\n");
  EXPECT_TRUE(r.file.starts_with("2 5 7 11 12 "));
  EXPECT_TRUE(r.file.ends_with("\n"));
  EXPECT_EQ(std::count(r.file.begin(), r.file.end(), ' ') + 1, 333332);
  EXPECT_TRUE(r.result.out.ends_with("\r 99%" + std::string(50, '=') + ">\n" + kPrompt));
  EXPECT_EQ(r.result.exit_code, 0);
}

TEST(LoggingFinder, ReportsWhatItCannotAnswerOrKeep) {
  Outcome r = run("-5 7 2147483648\n");
  EXPECT_EQ(r.result.out, kSeven);
  EXPECT_EQ(r.file, "3 5\n");
  EXPECT_EQ(r.result.err,
            "tamsel4-3: -5 is out of range (0 to 2147483647)\n"
            "tamsel4-3: 2147483648 is out of range (0 to 2147483647)\n");
  EXPECT_EQ(r.result.exit_code, 1);

  r = run("7 13",
          [](const std::string& dir) { std::filesystem::create_directory(dir + "/" + kResults); });
  EXPECT_EQ(r.result.out, kSeven + kThirteen);
  EXPECT_EQ(r.result.err, "tamsel4-3: cannot open D:\\Orvanic.txt: Is a directory\n");
  EXPECT_EQ(r.result.exit_code, 1);

  r = run("7 13", [](const std::string& dir) {
    std::filesystem::create_symlink("/dev/full", dir + "/" + kResults);
  });
  EXPECT_EQ(r.result.out, kSeven + kThirteen);
  EXPECT_EQ(r.result.err, "tamsel4-3: cannot write D:\\Orvanic.txt: No space left on device\n");
  EXPECT_EQ(r.result.exit_code, 1);

  // A console that fails costs no list.
  r = run("7 13", nothing, testing_support::Stdout::dev_full);
  EXPECT_EQ(r.file, "3 5\n2 6 7 11\n");
  EXPECT_EQ(r.result.err, "tamsel4-3: write error: No space left on device\n");
  EXPECT_EQ(r.result.exit_code, 1);
}

TEST(LoggingFinder, KeepsItsListsWhenTheConsoleReaderLeaves) {
  std::signal(SIGPIPE, SIG_IGN);
  int input[2], console[2];
  ASSERT_EQ(::pipe(input), 0);
  ASSERT_EQ(::pipe(console), 0);
  ASSERT_EQ(::write(input[1], "7 13\n", 5), 5);
  ::close(input[1]);
  ::close(console[0]);
  const std::string dir = make_temp_directory();
  const std::string path = dir + "/results";
  core::get_primesAndEulers();
  logging_finder::ResultsFile results(path.c_str());
  EXPECT_EQ(logging_finder::run_logging_loop(input[0], console[1], results), common::kBrokenPipe);
  EXPECT_EQ(read_file(path), "3 5\n2 6 7 11\n");
  ::close(input[0]);
  ::close(console[1]);
  std::filesystem::remove_all(dir);
}

// The bar as a person sees it: under tmux, on a private server.
TEST(LoggingFinder, ShowsTheBarAndPromptOnATerminal) {
  if (std::system("command -v tmux >/dev/null 2>&1") != 0) GTEST_SKIP() << "no tmux";
  const std::string dir = make_temp_directory();
  const std::string tmux = "tmux -L tamsel43-" + std::to_string(::getpid()) + " ";
  ASSERT_EQ(std::system(
                (tmux + "new-session -d -s t -x 80 -y 10 -c '" + dir + "' '" + TAMSEL43_PATH + "'")
                    .c_str()),
            0);
  std::system((tmux + "send-keys -t t 13 Enter").c_str());
  std::string screen;
  for (int tries = 0; tries < 100 && screen.find("input 21 to exit:") == std::string::npos;
       ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    screen.clear();
    if (FILE* pane = ::popen((tmux + "capture-pane -p -t t").c_str(), "r")) {
      char chunk[512];
      for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, pane)) > 0;) {
        screen.append(chunk, got);
      }
      ::pclose(pane);
    }
  }
  std::system((tmux + "kill-server").c_str());
  EXPECT_NE(screen.find(" 75%=>\ninput 21 to exit:"), std::string::npos) << screen;
  EXPECT_EQ(read_file(dir + "/" + kResults), "2 6 7 11\n");
  std::filesystem::remove_all(dir);
}

}  // namespace
