#pragma once

#include <string>
#include <vector>

#include "tests/support/run_program.h"

namespace usage {

struct Program {
  std::string name;
  std::string path;
};

// The three programs of this build.
std::vector<Program> programs();

// Runs a /bin/sh script with `input` on standard input.
testing_support::RunResult run_script(const std::string& script, const std::string& input = "",
                                      const testing_support::RunOptions& options = {});

// Quotes a word for the shell.
std::string quoted(const std::string& word);

// Whether `command` is on PATH.
bool have_command(const std::string& command);

}  // namespace usage
