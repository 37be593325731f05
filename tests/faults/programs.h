#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tests/support/run_program.h"

namespace faults {

struct Program {
  std::string name;
  std::string path;
  // tamsel4-3: root lists go to a results file in the working directory, the console
  // shows progress and prompts, and 21 ends the run.
  bool logs = false;
};

inline std::ostream& operator<<(std::ostream& os, const Program& p) { return os << p.name; }

// tamsel4-3's results file, in its working directory.
inline constexpr const char* kResultsFile = "D:\\Orvanic.txt";

// Every program of the family that this build has.
std::vector<Program> built_programs();

// A test name for each program ("tamsel4_2").
std::string test_name(const Program& program);

// Runs a /bin/sh script (for limits, pipelines and wrappers the plain runner lacks)
// with `input` on standard input.
testing_support::RunResult run_shell(const std::string& script, const std::string& input,
                                     const testing_support::RunOptions& options = {});

// Quotes a path for the shell.
std::string quoted(const std::string& text);

}  // namespace faults
