#pragma once

// Starting the built programs from tests, on POSIX (process_posix.cpp) and on Windows
// (process_windows.cpp): run to completion with the input in a file and the outputs
// captured (run_program, run_shell), or kept running while the test talks to it
// (RunningProgram).
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

#ifdef _WIN32
inline constexpr bool kWindows = true;
#else
inline constexpr bool kWindows = false;
#endif

// Where the program's standard output goes. dev_full exists only on POSIX; on Windows
// `closed` is an invalid handle.
enum class Stdout { capture, closed, dev_full, broken_pipe };

// One system call made to fail in the program: the nth call of `call` on `fd`. Faults
// and jitter come from an LD_PRELOAD library, so only on POSIX.
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
  // Standard input a pipe that stays open after `input` until the program ends (at most
  // 4 KiB of input), so that a program that reads on waits. POSIX only.
  bool input_stays_open = false;
  std::vector<std::string> args = {};  // the program's arguments (run_program only)
  bool sigpipe_ignored = false;        // as `trap '' PIPE` leaves it (POSIX only)
  bool sigpipe_blocked = false;        // in the signal mask it starts with (POSIX only)
};

struct RunResult {
  std::string out;  // standard output, when captured
  std::string err;  // standard error
  // On POSIX exit_code is -1 when a signal ended the program. Windows has no such signals:
  // exit_code is what the process ended with (STATUS_CONTROL_C_EXIT after Ctrl-C).
  int exit_code = -1;
  int signal = 0;  // the signal that ended it, if one did
  bool timed_out = false;
};

// Runs `program` with `input` on standard input and waits for it to end.
RunResult run_program(const std::string& program, const std::string& input,
                      const RunOptions& options = {});

// Runs a /bin/sh script (for limits, pipelines and wrappers the plain runner lacks)
// with `input` on standard input. POSIX only: on Windows it throws.
RunResult run_shell(const std::string& script, const std::string& input = "",
                    const RunOptions& options = {});

// Quotes a word for the shell.
std::string quoted(const std::string& text);

// Whether `command` is on PATH.
bool have_command(const std::string& command);

// Whether `tool`, which a test needs and skips itself without, is on PATH. Under
// continuous integration (CI=true), whose script installs every such tool, a missing one
// also fails the test: a green run there means that everything ran.
bool have_tool(const std::string& tool);

// A fresh empty directory below the system's temporary directory.
std::string make_temp_directory();

// The whole content of a file; empty when it cannot be read.
std::string read_file(const std::string& path);

// A program started in a fresh directory of its own, with standard input a pipe that the
// test keeps open (so the program can be caught waiting at its prompt) and standard
// output a pipe or a pseudo-terminal (POSIX only) that the test drains. Standard error
// goes to a file. Every wait has a deadline; a program still running then, or when this
// is destroyed, is killed.
class RunningProgram {
 public:
  enum class Console { pipe, terminal };

  // `prepare` may put things into the directory before the program starts. The
  // `ignored` signals start out ignored, as `nohup` leaves SIGHUP (POSIX only).
  RunningProgram(const std::string& path, Console console,
                 const std::function<void(const std::string&)>& prepare = {},
                 const std::vector<int>& ignored = {});
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  // Sends text to standard input (at a terminal, as typed; echo is off).
  void type(std::string_view text);

  // Drains the console until `seen` holds for its latest part (see tail()); false when
  // the deadline passes or the program ends first.
  bool wait_for(const std::function<bool(std::string_view)>& seen, std::chrono::seconds limit);

  // A signal on POSIX; on Windows SIGINT and SIGBREAK become the console's Ctrl-C and
  // Ctrl-Break events. False when it could not be delivered.
  bool send(int signal);

  // Sends the signals while the program is stopped, so that it finds them all pending at
  // once; Linux then hands them over lowest number first. POSIX only.
  bool send_at_once(const std::vector<int>& signals);

  // Drains the console until the program ends. False when it had to be killed.
  bool finish(std::chrono::seconds limit);

  // What the console received: the first and last 64 KiB, and the count of all bytes.
  const std::string& head() const { return head_; }
  const std::string& tail() const { return tail_; }
  std::uint64_t console_bytes() const { return bytes_; }

  // After finish(): how it ended, as RunResult tells it.
  int exit_code() const { return exit_code_; }  // -1 when ended by a signal
  int signal() const { return signal_; }        // 0 when it exited

  // The processor time the program has used so far (user and system), which unlike the
  // time on the clock does not grow when the machine is busy with other work.
  std::chrono::microseconds processor_time() const;

  // A file the program left in its directory.
  const std::string& directory() const { return dir_; }
  std::string results(const std::string& name) const;
  std::string errors() const;

 private:
  struct System;  // the process and its console, as this system holds them

  bool drain_once(int timeout_ms);  // false once the console has closed
  void keep(std::string_view data);
  bool reap();  // true once the program has ended
  void kill();  // ends it at once and reaps it

  std::string dir_;
  std::unique_ptr<System> system_;
  bool ended_ = false;
  std::string head_, tail_;
  std::uint64_t bytes_ = 0;
  int exit_code_ = -1;
  int signal_ = 0;
  std::chrono::microseconds processor_time_at_end_{0};  // POSIX: kept when it is reaped
};

}  // namespace testing_support
