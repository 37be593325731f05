// The command line of every program: --help, -h and --version answer on standard output,
// "--" alone changes nothing, anything else is a usage error, and in every case but "--"
// nothing is read and no file is created or touched (tamsel4-3's results file from an
// earlier run stays as it was).
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

// `answers`: the run is the same as without arguments.
enum class Shows { nothing, help, version, answers };

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
    {"double_dash",                {"--"},          Stdout::capture,  0, Shows::answers, ""},
    {"help_before_double_dash",    {"-h", "--"},    Stdout::capture,  0, Shows::help,    ""},
    {"operand_after_double_dash",  {"--", "7"},     Stdout::capture,  2, Shows::nothing, unexpected("7")},
    {"option_after_double_dash",   {"--", "--help"}, Stdout::capture, 2, Shows::nothing, unexpected("--help")},
    {"double_dash_twice",          {"--", "--"},    Stdout::capture,  2, Shows::nothing, unexpected("--")},
    // Windows' own way to ask for help; a usage error elsewhere (see below).
    {"slash_question_mark",        {"/?"},          Stdout::capture,  2, Shows::nothing, unexpected("/?")},
    {"control_bytes_escaped",      {"\x1b[31mred\n\t\r\x7f\x01"}, Stdout::capture, 2, Shows::nothing, unexpected("\\033[31mred\\n\\t\\r\\177\\001")},
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
    case Shows::answers:
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

// What a run of `program` with `args` and `input` came to: its outputs, the input it left
// unread and the files of its working directory, where tamsel4-3's results file of an
// earlier run lies.
struct Observed {
  testing_support::RunResult run;
  std::string unread;
  std::map<std::string, std::string> files;
};

Observed observe(const std::string& program, const std::vector<std::string>& args,
                 Stdout stdout_mode, const std::string& input) {
  testing_support::RunOptions options;
  options.working_directory = testing_support::make_temp_directory();
  options.stdout_mode = stdout_mode;
  options.timeout_seconds = 20;
  const std::string unread = testing_support::make_temp_directory() + "/unread";
  std::ofstream(options.working_directory + "/D:\\Orvanic.txt") << "lists of an earlier run\n";

  // Whatever the program leaves of standard input is saved after it ends.
  std::string script = testing_support::quoted(program);
  for (const std::string& arg : args) script += " " + testing_support::quoted(arg);
  script += "\nstatus=$?\ncat > " + testing_support::quoted(unread) + "\nexit $status";
  Observed seen{testing_support::run_shell(script, input, options),
                testing_support::read_file(unread), contents(options.working_directory)};
  std::filesystem::remove_all(options.working_directory);
  std::filesystem::remove_all(std::filesystem::path(unread).parent_path());
  return seen;
}

TEST(Arguments, AnsweredOrRejectedBeforeAnythingIsReadOrWritten) {
  if (testing_support::kWindows) GTEST_SKIP() << "needs a POSIX shell to keep the unread input";
  const std::string input = "7\n21\n13\n";
  const std::map<std::string, std::string> before{{"D:\\Orvanic.txt", "lists of an earlier run\n"}};
  for (const testing_support::Program& program : testing_support::all_programs()) {
    const Observed plain = observe(program.path, {}, Stdout::capture, input);
    for (const Row& row : kRows) {
      SCOPED_TRACE(program.name + " " + row.name);
      const Observed seen = observe(program.path, row.args, row.stdout_mode, input);
      ASSERT_FALSE(seen.run.timed_out);
      EXPECT_EQ(seen.run.exit_code, row.status);
      EXPECT_EQ(seen.run.err, with_name(row.err, program.name));
      if (row.shows == Shows::answers) {
        EXPECT_EQ(seen.run.out, plain.run.out);
        EXPECT_EQ(seen.unread, plain.unread);
        EXPECT_EQ(seen.files, plain.files);
        continue;
      }
      if (row.stdout_mode == Stdout::capture) {
        EXPECT_EQ(seen.run.out, expected_output(row.shows, program.name));
      }
      EXPECT_EQ(seen.unread, input) << "standard input was read";
      EXPECT_EQ(seen.files, before);
    }
  }
}

TEST(Arguments, SlashQuestionMarkShowsTheHelpOnWindows) {
  if (!testing_support::kWindows) GTEST_SKIP() << "a usage error here, as the table above shows";
  for (const testing_support::Program& program : testing_support::all_programs()) {
    SCOPED_TRACE(program.name);
    testing_support::RunOptions options;
    options.args = {"/?"};
    options.timeout_seconds = 20;
    const auto run = testing_support::run_program(program.path, "7\n", options);
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, testing_support::as_written(expected_output(Shows::help, program.name)));
  }
}

TEST(Arguments, EchoedAsTyped) {
  // An em dash pasted for "--" and a name with an umlaut: on Windows they arrive in the
  // legacy code page unless taken from the wide command line.
  for (const testing_support::Program& program : testing_support::all_programs()) {
    for (const std::string arg : {"\u2014help", "J\u00fcrgen"}) {
      SCOPED_TRACE(program.name + " " + arg);
      testing_support::RunOptions options;
      options.args = {arg};
      options.timeout_seconds = 20;
      const auto run = testing_support::run_program(program.path, "7\n", options);
      ASSERT_FALSE(run.timed_out);
      EXPECT_EQ(run.exit_code, 2);
      EXPECT_EQ(run.err, testing_support::as_written(with_name(unexpected(arg), program.name)));
    }
  }
}

}  // namespace
