// The process driver on POSIX: fork and exec, files or pipes or a pseudo-terminal for the
// standard streams, and the fault shim through LD_PRELOAD.
#include <fcntl.h>
#include <poll.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif
#include <pty.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <utmp.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "tests/support/process.h"

namespace testing_support {

namespace {

void write_file(const std::string& path, const std::string& content) {
  std::ofstream file(path, std::ios::binary);
  file << content;
}

// The child starts as a program started from a shell would: default dispositions (but
// for `ignored`) and nothing blocked, whatever the test runner set up.
void reset_signals(const std::vector<int>& ignored = {}) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) ::signal(signal, SIG_DFL);
  for (const int signal : ignored) ::signal(signal, SIG_IGN);
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

// In the child, first thing: no program outlives the test that started it. It leads a
// process group of its own, which the driver kills whole (a script's programs with it),
// and on Linux it is killed when the test process ends, however that ends (a failed
// assertion, or CTest's kill at the time limit).
void tie_to_test(pid_t test, bool own_group = true) {
  if (own_group) ::setpgid(0, 0);
#ifdef __linux__
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
  if (::getppid() != test) ::_exit(125);  // the test ended before the call above
}

void kill_group(pid_t leader) { ::kill(-leader, SIGKILL); }

}  // namespace

RunResult run_program(const std::string& program, const std::string& input,
                      const RunOptions& options) {
  // Files rather than pipes: no deadlock however much the program writes.
  const std::string scratch = make_temp_directory();
  const std::string in_path = scratch + "/stdin";
  const std::string out_path = scratch + "/stdout";
  const std::string err_path = scratch + "/stderr";
  write_file(in_path, input);

  // Faults come from the shim in tests/support; AddressSanitizer, which wants its runtime
  // loaded first, is told that the shim only passes calls on.
  std::string fault_text, asan_options;
  const bool shimmed = options.fault.call != nullptr || options.jitter;
  if (options.fault.call != nullptr) {
    fault_text = std::string(options.fault.call) + ":" + std::to_string(options.fault.fd) + ":" +
                 std::to_string(options.fault.error) + ":" + std::to_string(options.fault.nth);
  }
  if (const char* asan = std::getenv("ASAN_OPTIONS")) asan_options = std::string(asan) + ":";
  asan_options += "verify_asan_link_order=0";

  // A pipe whose reader is gone before the program starts.
  int pipe_ends[2] = {-1, -1};
  if (options.stdout_mode == Stdout::broken_pipe) {
    if (::pipe(pipe_ends) != 0) throw std::runtime_error("pipe failed");
    ::close(pipe_ends[0]);
  }
  // Input that the test keeps open after the last byte, as a user at a terminal does.
  int input_ends[2] = {-1, -1};
  if (options.input_stays_open) {
    if (input.size() > 4096 || ::pipe(input_ends) != 0) throw std::runtime_error("pipe failed");
    ::signal(SIGPIPE, SIG_IGN);  // the program may be gone before the input is written
  }

  const pid_t test = ::getpid();
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    tie_to_test(test);
    int in = options.input_stays_open ? input_ends[0] : ::open(in_path.c_str(), O_RDONLY);
    if (options.input_stays_open) ::close(input_ends[1]);
    int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(in, 0);
    ::dup2(err, 2);
    if (options.stdout_mode == Stdout::closed) {
      ::close(1);
    } else if (options.stdout_mode == Stdout::broken_pipe) {
      ::dup2(pipe_ends[1], 1);
      ::close(pipe_ends[1]);
    } else {
      const char* target = options.stdout_mode == Stdout::dev_full ? "/dev/full" : out_path.c_str();
      int out = ::open(target, O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(out, 1);
      ::close(out);
    }
    ::close(in);
    ::close(err);
    if (!options.working_directory.empty() && ::chdir(options.working_directory.c_str()) != 0) {
      ::_exit(126);
    }
    if (shimmed) {
      ::setenv("LD_PRELOAD", TAMSEL_FAULT_SHIM, 1);
      ::setenv("ASAN_OPTIONS", asan_options.c_str(), 1);
      if (!fault_text.empty()) ::setenv("TAMSEL_FAIL", fault_text.c_str(), 1);
      if (options.jitter) ::setenv("TAMSEL_JITTER", "1", 1);
    }
    ::signal(SIGPIPE, options.sigpipe_ignored ? SIG_IGN : SIG_DFL);
    if (options.sigpipe_blocked) {
      sigset_t pipe_only;
      sigemptyset(&pipe_only);
      sigaddset(&pipe_only, SIGPIPE);
      ::sigprocmask(SIG_BLOCK, &pipe_only, nullptr);
    }
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : options.args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }

  if (pipe_ends[1] >= 0) ::close(pipe_ends[1]);
  if (options.input_stays_open) {
    ::close(input_ends[0]);
    [[maybe_unused]] const ssize_t wrote = ::write(input_ends[1], input.data(), input.size());
  }
  RunResult result;
  int status = 0;
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(options.timeout_seconds);
  for (;;) {
    // Left unreaped, an ended program still holds its group's number.
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
        info.si_pid == pid) {
      break;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      result.timed_out = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  kill_group(pid);  // at the deadline, or what a script left running in the background
  ::waitpid(pid, &status, 0);
  if (options.input_stays_open) ::close(input_ends[1]);
  if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  result.out = read_file(out_path);
  result.err = read_file(err_path);
  std::filesystem::remove_all(scratch);
  return result;
}

RunResult run_shell(const std::string& script, const std::string& input,
                    const RunOptions& options) {
  const std::string dir = make_temp_directory();
  const std::string path = dir + "/run.sh";
  write_file(path, "#!/bin/sh\n" + script + "\n");
  ::chmod(path.c_str(), 0755);
  RunResult result = run_program(path, input, options);
  std::filesystem::remove_all(dir);
  return result;
}

bool have_command(const std::string& command) {
  return run_shell("command -v " + quoted(command) + " >/dev/null").exit_code == 0;
}

struct RunningProgram::System {
  pid_t pid = -1;
  int input = -1;
  int console = -1;
};

namespace {

[[noreturn]] void start(const std::string& path, const std::string& dir,
                        const std::vector<int>& ignored, pid_t test, bool own_group) {
  tie_to_test(test, own_group);
  const std::string errors = dir + "/stderr";
  const int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (err < 0 || ::dup2(err, 2) < 0 || ::chdir(dir.c_str()) != 0) ::_exit(126);
  ::close(err);
  reset_signals(ignored);
  ::execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
  ::_exit(127);
}

}  // namespace

RunningProgram::RunningProgram(const std::string& path, Console console,
                               const std::function<void(const std::string&)>& prepare,
                               const std::vector<int>& ignored)
    : dir_(make_temp_directory()), system_(std::make_unique<System>()) {
  if (prepare) prepare(dir_);
  ::signal(SIGPIPE, SIG_IGN);  // a program that has ended must not end the test
  System& s = *system_;
  if (console == Console::terminal) {
    int terminal = -1;
    if (::openpty(&s.console, &terminal, nullptr, nullptr, nullptr) != 0) {
      throw std::runtime_error("openpty failed");
    }
    // Echo off before anything is typed: only the program's own bytes come back.
    termios modes{};
    ::tcgetattr(terminal, &modes);
    modes.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(terminal, TCSANOW, &modes);
    const pid_t test = ::getpid();
    s.pid = ::fork();
    if (s.pid < 0) throw std::runtime_error("fork failed");
    if (s.pid == 0) {
      ::close(s.console);
      // A session of its own, and so a group; the terminal its controlling one, as 0, 1, 2.
      if (::login_tty(terminal) != 0) ::_exit(126);
      start(path, dir_, ignored, test, false);
    }
    ::close(terminal);
    s.input = ::dup(s.console);
    return;
  }
  int in[2], out[2];
  if (::pipe(in) != 0 || ::pipe(out) != 0) throw std::runtime_error("pipe failed");
  const pid_t test = ::getpid();
  s.pid = ::fork();
  if (s.pid < 0) throw std::runtime_error("fork failed");
  if (s.pid == 0) {
    ::dup2(in[0], 0);
    ::dup2(out[1], 1);
    for (const int fd : {in[0], in[1], out[0], out[1]}) ::close(fd);
    start(path, dir_, ignored, test, true);
  }
  ::close(in[0]);
  ::close(out[1]);
  s.input = in[1];
  s.console = out[0];
}

RunningProgram::~RunningProgram() {
  if (!ended_) kill();
  ::close(system_->input);
  ::close(system_->console);
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

void RunningProgram::type(std::string_view text) {
  while (!text.empty()) {
    const ssize_t wrote = ::write(system_->input, text.data(), text.size());
    if (wrote <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(wrote));
  }
}

bool RunningProgram::drain_once(int timeout_ms) {
  pollfd request{system_->console, POLLIN, 0};
  if (::poll(&request, 1, timeout_ms) <= 0) return true;
  char chunk[1 << 16];
  const ssize_t got = ::read(system_->console, chunk, sizeof chunk);
  if (got <= 0) return got < 0 && errno == EINTR;  // a pty reports its end as EIO
  keep(std::string_view(chunk, static_cast<std::size_t>(got)));
  return true;
}

namespace {

std::chrono::microseconds total(const rusage& usage) {
  const auto in_microseconds = [](const timeval& t) {
    return std::chrono::seconds(t.tv_sec) + std::chrono::microseconds(t.tv_usec);
  };
  return in_microseconds(usage.ru_utime) + in_microseconds(usage.ru_stime);
}

}  // namespace

std::chrono::microseconds RunningProgram::processor_time() const {
  if (ended_) return processor_time_at_end_;
  // Fields 14 and 15 of /proc/PID/stat, in clock ticks; the name before them, in
  // parentheses, may hold spaces.
  const std::string stat = read_file("/proc/" + std::to_string(system_->pid) + "/stat");
  const std::size_t name_end = stat.rfind(')');
  if (name_end == std::string::npos) return std::chrono::microseconds(0);
  std::istringstream fields(stat.substr(name_end + 2));
  std::string skipped;
  for (int field = 3; field < 14; ++field) fields >> skipped;
  long long user = 0, system = 0;
  fields >> user >> system;
  return std::chrono::microseconds((user + system) * 1'000'000 / ::sysconf(_SC_CLK_TCK));
}

bool RunningProgram::reap() {
  if (ended_) return true;
  int status = 0;
  rusage usage{};
  if (::wait4(system_->pid, &status, WNOHANG, &usage) != system_->pid) return false;
  processor_time_at_end_ = total(usage);
  ended_ = true;
  if (WIFEXITED(status)) exit_code_ = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) signal_ = WTERMSIG(status);
  return true;
}

void RunningProgram::kill() {
  kill_group(system_->pid);
  rusage usage{};
  ::wait4(system_->pid, nullptr, 0, &usage);
  processor_time_at_end_ = total(usage);
  ended_ = true;
}

bool RunningProgram::send(int signal) { return ::kill(system_->pid, signal) == 0; }

bool RunningProgram::send_at_once(const std::vector<int>& signals) {
  // Only once it has stopped are later signals sure to wait for it. An end that comes first is
  // left for reap() to collect.
  siginfo_t info{};
  if (ended_ || ::kill(system_->pid, SIGSTOP) != 0 ||
      ::waitid(P_PID, static_cast<id_t>(system_->pid), &info, WSTOPPED | WEXITED | WNOWAIT) != 0 ||
      info.si_code != CLD_STOPPED) {
    return false;
  }
  bool sent = true;
  for (const int signal : signals) sent = ::kill(system_->pid, signal) == 0 && sent;
  return ::kill(system_->pid, SIGCONT) == 0 && sent;
}

}  // namespace testing_support
