#pragma once

#include <string>

namespace testing_support {

// Where the program's standard output goes.
enum class Stdout { capture, closed, dev_full };

struct RunOptions {
  std::string working_directory;  // empty: the test's own
  Stdout stdout_mode = Stdout::capture;
  int timeout_seconds = 60;
};

struct RunResult {
  std::string out;     // standard output, when captured
  std::string err;     // standard error
  int exit_code = -1;  // -1 when the program did not exit normally
  int signal = 0;      // the signal that ended it, if one did
  bool timed_out = false;
};

// Runs `program` with `input` on standard input and waits for it to end.
RunResult run_program(const std::string& program, const std::string& input,
                      const RunOptions& options = {});

// A fresh empty directory below the system's temporary directory.
std::string make_temp_directory();

// The whole content of a file; empty when it cannot be read.
std::string read_file(const std::string& path);

}  // namespace testing_support
