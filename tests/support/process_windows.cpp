// The process driver on Windows: CreateProcess with inherited handles to files or pipes
// for the standard streams. Neither the fault shim nor /dev/full nor pseudo-terminals
// exist here; tests that need them skip before they ask.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "tests/support/process.h"

namespace testing_support {

namespace {

void write_file(const std::string& path, const std::string& content) {
  std::ofstream file(path, std::ios::binary);
  file << content;
}

// Closes a handle when it goes out of scope.
struct Handle {
  HANDLE value = INVALID_HANDLE_VALUE;
  Handle() = default;
  explicit Handle(HANDLE h) : value(h) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { close(); }
  void close() {
    if (value != INVALID_HANDLE_VALUE && value != nullptr) CloseHandle(value);
    value = INVALID_HANDLE_VALUE;
  }
};

SECURITY_ATTRIBUTES inheritable() { return {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE}; }

HANDLE open_for_child(const std::string& path, bool write) {
  SECURITY_ATTRIBUTES sa = inheritable();
  const HANDLE h =
      CreateFileA(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &sa,
                  write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
  return h;
}

// A pipe; the end named by `test_end` stays with the test (not inherited).
void make_pipe(Handle& read, Handle& write, const Handle& test_end) {
  SECURITY_ATTRIBUTES sa = inheritable();
  if (!CreatePipe(&read.value, &write.value, &sa, 0)) throw std::runtime_error("CreatePipe failed");
  SetHandleInformation(test_end.value, HANDLE_FLAG_INHERIT, 0);
}

std::wstring wide(const std::string& utf8) {
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), size);
  return text;
}

// Starts `program` in `directory` with the given standard handles; returns its process.
HANDLE start(const std::string& program, const std::vector<std::string>& args,
             const std::string& directory, HANDLE in, HANDLE out, HANDLE err) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  // The arguments are UTF-8, as on POSIX: the program gets them as typed.
  std::string command_line = "\"" + program + "\"";
  for (const std::string& arg : args) command_line += " \"" + arg + "\"";  // no quotes inside
  std::wstring wide_line = wide(command_line);
  if (!CreateProcessW(wide(program).c_str(), wide_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      directory.empty() ? nullptr : wide(directory).c_str(), &startup, &process)) {
    throw std::runtime_error("cannot start " + program + ": error " +
                             std::to_string(GetLastError()));
  }
  CloseHandle(process.hThread);
  return process.hProcess;
}

int exit_code_of(HANDLE process) {
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  return static_cast<int>(code);  // STATUS_CONTROL_C_EXIT comes out negative
}

}  // namespace

RunResult run_program(const std::string& program, const std::string& input,
                      const RunOptions& options) {
  if (options.fault.call != nullptr) throw std::runtime_error("no fault shim on Windows");
  if (options.stdout_mode == Stdout::dev_full) throw std::runtime_error("no /dev/full on Windows");
  if (options.input_stays_open) throw std::runtime_error("input kept open: POSIX only");
  // Files rather than pipes: no deadlock however much the program writes.
  const std::string scratch = make_temp_directory();
  const std::string in_path = scratch + "/stdin";
  const std::string out_path = scratch + "/stdout";
  const std::string err_path = scratch + "/stderr";
  write_file(in_path, input);

  RunResult result;
  {
    // Jitter here is the input arriving through a pipe in small pieces, the first bytes
    // one at a time, so that reads end inside marks, numbers and UTF-16 units.
    Handle in, feed;
    if (options.jitter) {
      make_pipe(in, feed, feed);
    } else {
      in.value = open_for_child(in_path, false);
    }
    Handle err(open_for_child(err_path, true));
    Handle out;
    if (options.stdout_mode == Stdout::capture) {
      out.value = open_for_child(out_path, true);
    } else if (options.stdout_mode == Stdout::broken_pipe) {
      Handle reader;  // closed at once: the reader is gone before the program starts
      make_pipe(reader, out, reader);
    }  // Stdout::closed: an invalid handle
    Handle process(
        start(program, options.args, options.working_directory, in.value, out.value, err.value));
    in.close();
    out.close();
    err.close();
    std::thread feeder;
    if (options.jitter) {
      feeder = std::thread([&feed, &input] {
        for (std::size_t at = 0, piece = 1; at < input.size(); at += piece) {
          piece = std::min<std::size_t>(at < 8 ? 1 : 7, input.size() - at);
          DWORD wrote = 0;
          if (!WriteFile(feed.value, input.data() + at, static_cast<DWORD>(piece), &wrote,
                         nullptr)) {
            break;  // the program has stopped reading
          }
          Sleep(0);
        }
        feed.close();
      });
    }
    const DWORD limit = static_cast<DWORD>(options.timeout_seconds) * 1000;
    if (WaitForSingleObject(process.value, limit) == WAIT_TIMEOUT) {
      TerminateProcess(process.value, 1);
      WaitForSingleObject(process.value, INFINITE);
      result.timed_out = true;
    }
    result.exit_code = exit_code_of(process.value);
    if (feeder.joinable()) feeder.join();
  }
  result.out = read_file(out_path);
  result.err = read_file(err_path);
  std::error_code ignored;
  std::filesystem::remove_all(scratch, ignored);
  return result;
}

RunResult run_shell(const std::string&, const std::string&, const RunOptions&) {
  throw std::runtime_error("no POSIX shell on Windows");
}

bool have_command(const std::string& command) {
  char found[MAX_PATH];
  return SearchPathA(nullptr, command.c_str(), ".exe", MAX_PATH, found, nullptr) != 0;
}

struct RunningProgram::System {
  Handle process;
  Handle input;
  Handle console;
};

namespace {

// The test shares the program's console, so a console event reaches it too: it ignores
// them.
BOOL WINAPI ignore_in_the_test(DWORD) { return TRUE; }

// Console events go to every process on a console: on the one the test was started from
// they would reach the test runner too, and under Wine run headless that one carries
// none. So the test takes a console of its own, once, and the programs share it.
void share_a_console() {
  static const bool done = [] {
    FreeConsole();
    return AllocConsole() != 0;
  }();
  (void)done;
}

}  // namespace

RunningProgram::RunningProgram(const std::string& path, Console console,
                               const std::function<void(const std::string&)>& prepare,
                               const std::vector<int>& ignored)
    : dir_(make_temp_directory()), system_(std::make_unique<System>()) {
  if (console == Console::terminal) throw std::runtime_error("no pseudo-terminal on Windows");
  if (!ignored.empty()) throw std::runtime_error("no signals to ignore on Windows");
  if (prepare) prepare(dir_);
  share_a_console();
  System& s = *system_;
  Handle child_in, child_out;
  make_pipe(child_in, s.input, s.input);
  make_pipe(s.console, child_out, s.console);
  Handle err(open_for_child(dir_ + "/stderr", true));
  s.process.value = start(path, {}, dir_, child_in.value, child_out.value, err.value);
}

RunningProgram::~RunningProgram() {
  if (!ended_) kill();
  system_.reset();
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

void RunningProgram::type(std::string_view text) {
  while (!text.empty()) {
    DWORD wrote = 0;
    if (!WriteFile(system_->input.value, text.data(), static_cast<DWORD>(text.size()), &wrote,
                   nullptr) ||
        wrote == 0) {
      return;
    }
    text.remove_prefix(wrote);
  }
}

bool RunningProgram::drain_once(int timeout_ms) {
  // Anonymous pipes cannot be waited on: look, and look again, until the time is up.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  DWORD available = 0;
  for (;;) {
    if (!PeekNamedPipe(system_->console.value, nullptr, 0, nullptr, &available, nullptr)) {
      return false;  // the program's end has closed it
    }
    if (available > 0) break;
    if (std::chrono::steady_clock::now() > deadline) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  char chunk[1 << 16];
  DWORD got = 0;
  if (!ReadFile(system_->console.value, chunk, sizeof chunk, &got, nullptr) || got == 0) {
    return false;
  }
  keep(std::string_view(chunk, got));
  return true;
}

bool RunningProgram::reap() {
  if (ended_) return true;
  if (WaitForSingleObject(system_->process.value, 0) != WAIT_OBJECT_0) return false;
  ended_ = true;
  exit_code_ = exit_code_of(system_->process.value);
  return true;
}

std::chrono::microseconds RunningProgram::processor_time() const {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(system_->process.value, &created, &exited, &kernel, &user)) {
    return std::chrono::microseconds(0);
  }
  // Both in units of 100 ns.
  const auto in_units = [](const FILETIME& t) {
    return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return std::chrono::microseconds((in_units(kernel) + in_units(user)) / 10);
}

void RunningProgram::kill() {
  TerminateProcess(system_->process.value, 1);
  WaitForSingleObject(system_->process.value, INFINITE);
  ended_ = true;
}

bool RunningProgram::send(int signal) {
  // Events go to every process on the console; only Ctrl-C and Ctrl-Break can be sent.
  if (signal != SIGINT && signal != SIGBREAK) return false;
  SetConsoleCtrlHandler(ignore_in_the_test, TRUE);
  return GenerateConsoleCtrlEvent(signal == SIGINT ? CTRL_C_EVENT : CTRL_BREAK_EVENT, 0) != 0;
}

bool RunningProgram::send_at_once(const std::vector<int>&) { return false; }

}  // namespace testing_support
