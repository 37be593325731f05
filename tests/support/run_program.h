#pragma once

#include <string>

namespace testing_support {

// Where the program's standard output goes.
enum class Stdout { capture, closed, dev_full, broken_pipe };

// One system call made to fail in the program: the nth call of `call` on `fd`.
struct Fault {
  const char* call = nullptr;  // "read", "write" or "close"; null for none
  int fd = 0;                  // kAnyFile: any descriptor above standard error
  int error = 0;
  int nth = 1;
};
inline constexpr int kAnyFile = -1;

struct RunOptions {
  std::string working_directory;  // empty: the test's own
  Stdout stdout_mode = Stdout::capture;
  int timeout_seconds = 10;  // the program is killed after that, and timed_out set
  Fault fault{};
  bool jitter = false;  // interrupted calls, short reads and short writes throughout
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

// Runs a /bin/sh script (for limits, pipelines and wrappers the plain runner lacks)
// with `input` on standard input.
RunResult run_shell(const std::string& script, const std::string& input = "",
                    const RunOptions& options = {});

// Quotes a word for the shell.
std::string quoted(const std::string& text);

// Whether `command` is on PATH.
bool have_command(const std::string& command);

// A fresh empty directory below the system's temporary directory.
std::string make_temp_directory();

// The whole content of a file; empty when it cannot be read.
std::string read_file(const std::string& path);

}  // namespace testing_support
