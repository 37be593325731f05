// The command line of every program: --help, -h and --version answer on standard output,
// anything else is a usage error, and in every case nothing is read and no file is
// created or touched (tamsel4-3's results file from an earlier run stays as it was).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "console_finder/help.h"
#include "first_lister/help.h"
#include "logging_finder/help.h"
#include "tests/support/process.h"
#include "tests/support/programs.h"

namespace {

using testing_support::Stdout;

enum class Shows { nothing, help, version };

struct Row {
  std::string name;
  std::vector<std::string> args;
  Stdout stdout_mode;
  int status;
  Shows shows;
  std::string err;
};

// A usage error names the argument; "{P}" stands for the program's name.
std::string unexpected(const std::string& arg) {
  return "{P}: unexpected argument '" + arg + "'\nTry '{P} --help'.\n";
}

// clang-format off
const std::vector<Row> kRows = {
    {"help",                       {"--help"},      Stdout::capture,  0, Shows::help,    ""},
    {"short_help",                 {"-h"},          Stdout::capture,  0, Shows::help,    ""},
    {"version",                    {"--version"},   Stdout::capture,  0, Shows::version, ""},
    {"unknown_option",             {"--verbose"},   Stdout::capture,  2, Shows::nothing, unexpected("--verbose")},
    {"stray_operand",              {"results.txt"}, Stdout::capture,  2, Shows::nothing, unexpected("results.txt")},
    {"operand_beside_help",        {"--help", "7"}, Stdout::capture,  2, Shows::nothing, unexpected("7")},
    {"double_dash",                {"--"},          Stdout::capture,  2, Shows::nothing, unexpected("--")},
    {"empty_argument",             {""},            Stdout::capture,  2, Shows::nothing, unexpected("")},
    {"help_to_a_full_disk",        {"--help"},      Stdout::dev_full, 1, Shows::nothing, "{P}: write error: No space left on device\n"},
    {"version_to_a_closed_stdout", {"--version"},   Stdout::closed,   1, Shows::nothing, "{P}: write error: Bad file descriptor\n"},
};
// clang-format on

std::string with_name(std::string text, const std::string& program) {
  for (std::size_t at; (at = text.find("{P}")) != std::string::npos;) {
    text.replace(at, 3, program);
  }
  return text;
}

std::string expected_output(Shows shows, const std::string& program) {
  static const std::map<std::string, std::string_view> help{{"tamsel4-2", console_finder::kHelp},
                                                            {"tamsel4-3", logging_finder::kHelp},
                                                            {"tamsel", first_lister::kHelp}};
  switch (shows) {
    case Shows::help:
      return std::string(help.at(program));
    case Shows::version:
      return program + " " TAMSEL_VERSION "\n" +
             "Copyright (c) 2026 the tamsel authors. MIT License: free to use, copy, modify and "
             "share; no warranty.\n";
    case Shows::nothing:
      break;
  }
  return "";
}

// What a working directory holds: file names and contents.
std::map<std::string, std::string> contents(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    files[entry.path().filename().string()] = testing_support::read_file(entry.path().string());
  }
  return files;
}

TEST(Arguments, AnsweredOrRejectedBeforeAnythingIsReadOrWritten) {
  if (testing_support::kWindows) GTEST_SKIP() << "needs a POSIX shell to keep the unread input";
  const std::string input = "7\n21\n13\n";
  for (const testing_support::Program& program : testing_support::all_programs()) {
    for (const Row& row : kRows) {
      SCOPED_TRACE(program.name + " " + row.name);
      testing_support::RunOptions options;
      options.working_directory = testing_support::make_temp_directory();
      options.stdout_mode = row.stdout_mode;
      options.timeout_seconds = 20;
      const std::string unread = testing_support::make_temp_directory() + "/unread";
      const std::map<std::string, std::string> before{
          {"D:\\Orvanic.txt", "lists of an earlier run\n"}};
      std::ofstream(options.working_directory + "/D:\\Orvanic.txt") << before.begin()->second;

      // Whatever the program leaves of standard input is saved after it ends.
      std::string script = testing_support::quoted(program.path);
      for (const std::string& arg : row.args) script += " " + testing_support::quoted(arg);
      script += "\nstatus=$?\ncat > " + testing_support::quoted(unread) + "\nexit $status";
      const auto run = testing_support::run_shell(script, input, options);

      ASSERT_FALSE(run.timed_out);
      EXPECT_EQ(run.exit_code, row.status);
      EXPECT_EQ(run.err, with_name(row.err, program.name));
      if (row.stdout_mode == Stdout::capture) {
        EXPECT_EQ(run.out, expected_output(row.shows, program.name));
      }
      EXPECT_EQ(testing_support::read_file(unread), input) << "standard input was read";
      EXPECT_EQ(contents(options.working_directory), before);
      std::filesystem::remove_all(options.working_directory);
      std::filesystem::remove_all(std::filesystem::path(unread).parent_path());
    }
  }
}

}  // namespace
