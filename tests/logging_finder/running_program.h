#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace testing_support {

// A program started in a fresh directory of its own, with standard input a pipe that the
// test keeps open (so the program can be caught waiting at its prompt) and standard
// output a pipe or a pseudo-terminal that the test drains. Standard error goes to a file.
// Every wait has a deadline; a program still running then, or when this is destroyed,
// is killed.
class RunningProgram {
 public:
  enum class Console { pipe, terminal };

  // `prepare` may put things into the directory before the program starts.
  RunningProgram(const std::string& path, Console console,
                 const std::function<void(const std::string&)>& prepare = {});
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  // Sends text to standard input (at a terminal, as typed; echo is off).
  void type(std::string_view text);

  // Drains the console until `seen` holds for its latest part (see tail()); false when
  // the deadline passes or the program ends first.
  bool wait_for(const std::function<bool(std::string_view)>& seen, std::chrono::seconds limit);

  void send(int signal);

  // Drains the console until the program ends. False when it had to be killed.
  bool finish(std::chrono::seconds limit);

  // What the console received: the first and last 64 KiB, and the count of all bytes.
  const std::string& head() const { return head_; }
  const std::string& tail() const { return tail_; }
  std::uint64_t console_bytes() const { return bytes_; }

  // After finish(): how it ended.
  int exit_code() const { return exit_code_; }  // -1 when ended by a signal
  int signal() const { return signal_; }        // 0 when it exited

  // A file the program left in its directory.
  std::string results(const std::string& name) const;
  std::string errors() const;

 private:
  bool drain_once(int timeout_ms);  // false once the console has closed
  bool reap();                      // true once the program has ended

  std::string dir_;
  int pid_ = -1;
  int input_ = -1;
  int console_ = -1;
  bool ended_ = false;
  std::string head_, tail_;
  std::uint64_t bytes_ = 0;
  int exit_code_ = -1;
  int signal_ = 0;
};

}  // namespace testing_support
