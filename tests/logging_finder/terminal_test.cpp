// tamsel4-3 at a terminal: the screen shows what the frames into a pipe would show, from
// a small fraction of the bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/process.h"
#include "tests/support/programs.h"

namespace {

using namespace std::chrono_literals;
using testing_support::RunningProgram;

using testing_support::kPrompt;
using testing_support::kResultsFile;
const std::string kFullBar = "\r 99%" + std::string(50, '=') + ">";
constexpr std::size_t kLongestFrame = 56;

// The terminal turns each newline into "\r\n"; the program itself never writes "\r\n".
std::string as_written(std::string_view received) {
  std::string text;
  for (std::size_t i = 0; i < received.size(); ++i) {
    if (received.substr(i, 2) == "\r\n") continue;
    text.push_back(received[i]);
  }
  return text;
}

// The console without the frames that repeat the one before: what changes the screen.
std::string without_repeats(const std::string& console) {
  std::string shown, last;
  for (std::size_t i = 0; i < console.size();) {
    if (console[i] != '\r') {
      if (console[i] == '\n') last.clear();
      shown.push_back(console[i++]);
      continue;
    }
    const std::size_t end = std::min(console.find_first_of("\r\n", i + 1), console.size());
    const std::string frame = console.substr(i, end - i);
    if (frame != last) shown += frame;
    last = frame;
    i = end;
  }
  return shown;
}

std::size_t frames_in(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r'));
}

TEST(Terminal, WritesOnlyTheFramesThatChangeTheScreen) {
  if (testing_support::kWindows) GTEST_SKIP() << "no pseudo-terminal on Windows";
  // 1000003 has 333332 roots: into a pipe a frame for each of them.
  const std::string dir = testing_support::make_temp_directory();
  const testing_support::RunResult piped =
      testing_support::run_program(TAMSEL43_PATH, "1000003\n", {dir});
  const std::string piped_list = testing_support::read_file(dir + "/" + kResultsFile);
  std::filesystem::remove_all(dir);
  ASSERT_EQ(piped.exit_code, 0);
  ASSERT_EQ(frames_in(piped.out), 333332u);

  RunningProgram program(TAMSEL43_PATH, RunningProgram::Console::terminal);
  program.type("1000003\n");
  ASSERT_TRUE(program.wait_for(
      [](std::string_view console) { return as_written(console).ends_with(kPrompt); }, 120s))
      << program.tail().substr(0, 300);
  program.type("21\n");
  ASSERT_TRUE(program.finish(60s));
  EXPECT_EQ(program.exit_code(), 0);

  const std::string shown = as_written(program.head());
  EXPECT_EQ(shown, without_repeats(piped.out));
  EXPECT_LE(frames_in(shown), 100u);
  EXPECT_LE(program.console_bytes(), 100 * kLongestFrame + kPrompt.size() + 2);
  EXPECT_TRUE(shown.ends_with(kFullBar + "\n" + kPrompt)) << shown.substr(shown.size() - 100);
  EXPECT_EQ(program.results(kResultsFile), piped_list);
}

TEST(Terminal, AnInterruptedBarLineIsEnded) {
  if (testing_support::kWindows) GTEST_SKIP() << "no pseudo-terminal on Windows";
  RunningProgram program(TAMSEL43_PATH, RunningProgram::Console::terminal);
  program.type("13\n30000001\n");
  ASSERT_TRUE(program.wait_for(
      [](std::string_view console) { return console.find("\r  3%") != std::string::npos; }, 120s))
      << program.tail().substr(0, 300);
  program.send(SIGINT);
  ASSERT_TRUE(program.finish(60s));

  EXPECT_EQ(program.signal(), SIGINT);
  EXPECT_EQ(program.results(kResultsFile), "2 6 7 11\n");
  // The short list's bar, ended, and the prompt below it.
  EXPECT_TRUE(
      as_written(program.head()).starts_with("\r  0%=>\r 25%=>\r 50%=>\r 75%=>\n" + kPrompt));
  const std::string shown = as_written(program.tail());
  EXPECT_TRUE(shown.ends_with(">\n")) << shown.substr(shown.size() - 40);
  EXPECT_LE(frames_in(shown), 4 + 100u);
  EXPECT_EQ(program.errors(), "");
}

TEST(Terminal, AMessageAfterABarStartsALineOfItsOwn) {
  // Standard error on the terminal too, and a results file that takes nothing: the bar's
  // line is ended before the message, and the prompt follows it without a blank line.
  if (testing_support::kWindows) GTEST_SKIP() << "no pseudo-terminal on Windows";
  const std::string scripts = testing_support::make_temp_directory();
  const std::string script = scripts + "/on_one_terminal";
  std::ofstream(script) << "#!/bin/sh\nexec 2>&1\nexec " << testing_support::quoted(TAMSEL43_PATH)
                        << "\n";
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  RunningProgram program(script, RunningProgram::Console::terminal, [](const std::string& dir) {
    std::filesystem::create_symlink("/dev/full", dir + "/" + kResultsFile);
  });
  program.type("7\n13\n21\n");
  ASSERT_TRUE(program.finish(60s));
  EXPECT_EQ(program.exit_code(), 1);
  EXPECT_EQ(as_written(program.head()),
            "\r  0%=>\r 50%=>\ntamsel4-3: cannot write D:\\Orvanic.txt: No space left on device\n" +
                kPrompt + "\r  0%=>\r 25%=>\r 50%=>\r 75%=>\n" + kPrompt);
  std::filesystem::remove_all(scripts);
}

}  // namespace
