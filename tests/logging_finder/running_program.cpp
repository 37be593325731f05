#include "tests/logging_finder/running_program.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <utmp.h>

#include <cerrno>
#include <filesystem>
#include <stdexcept>

#include "tests/support/run_program.h"

namespace testing_support {

namespace {

constexpr std::size_t kKept = 64 * 1024;

// The child starts as a program started from a shell would: default dispositions and
// nothing blocked, whatever the test runner set up.
void reset_signals() {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) ::signal(signal, SIG_DFL);
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

[[noreturn]] void start(const std::string& path, const std::string& dir) {
  const std::string errors = dir + "/stderr";
  const int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (err < 0 || ::dup2(err, 2) < 0 || ::chdir(dir.c_str()) != 0) ::_exit(126);
  ::close(err);
  reset_signals();
  ::execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
  ::_exit(127);
}

}  // namespace

RunningProgram::RunningProgram(const std::string& path, Console console,
                               const std::function<void(const std::string&)>& prepare)
    : dir_(make_temp_directory()) {
  if (prepare) prepare(dir_);
  ::signal(SIGPIPE, SIG_IGN);  // a program that has ended must not end the test
  if (console == Console::terminal) {
    int terminal = -1;
    if (::openpty(&console_, &terminal, nullptr, nullptr, nullptr) != 0) {
      throw std::runtime_error("openpty failed");
    }
    // Echo off before anything is typed: only the program's own bytes come back.
    termios modes{};
    ::tcgetattr(terminal, &modes);
    modes.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(terminal, TCSANOW, &modes);
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
      ::close(console_);
      if (::login_tty(terminal) != 0) ::_exit(126);  // its controlling terminal, as 0, 1, 2
      start(path, dir_);
    }
    ::close(terminal);
    input_ = ::dup(console_);
    return;
  }
  int in[2], out[2];
  if (::pipe(in) != 0 || ::pipe(out) != 0) throw std::runtime_error("pipe failed");
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    ::dup2(in[0], 0);
    ::dup2(out[1], 1);
    for (const int fd : {in[0], in[1], out[0], out[1]}) ::close(fd);
    start(path, dir_);
  }
  ::close(in[0]);
  ::close(out[1]);
  input_ = in[1];
  console_ = out[0];
}

RunningProgram::~RunningProgram() {
  if (!ended_) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  ::close(input_);
  ::close(console_);
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

void RunningProgram::type(std::string_view text) {
  while (!text.empty()) {
    const ssize_t wrote = ::write(input_, text.data(), text.size());
    if (wrote <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(wrote));
  }
}

bool RunningProgram::drain_once(int timeout_ms) {
  pollfd request{console_, POLLIN, 0};
  if (::poll(&request, 1, timeout_ms) <= 0) return true;
  char chunk[1 << 16];
  const ssize_t got = ::read(console_, chunk, sizeof chunk);
  if (got <= 0) return got < 0 && errno == EINTR;  // a pty reports its end as EIO
  const std::string_view data(chunk, static_cast<std::size_t>(got));
  bytes_ += data.size();
  if (head_.size() < kKept) head_.append(data.substr(0, kKept - head_.size()));
  tail_.append(data);
  if (tail_.size() > kKept) tail_.erase(0, tail_.size() - kKept);
  return true;
}

bool RunningProgram::reap() {
  if (ended_) return true;
  int status = 0;
  if (::waitpid(pid_, &status, WNOHANG) != pid_) return false;
  ended_ = true;
  if (WIFEXITED(status)) exit_code_ = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) signal_ = WTERMSIG(status);
  return true;
}

bool RunningProgram::wait_for(const std::function<bool(std::string_view)>& seen,
                              std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!seen(tail_)) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    if (!drain_once(10) && reap()) return seen(tail_);
  }
  return true;
}

void RunningProgram::send(int signal) { ::kill(pid_, signal); }

bool RunningProgram::finish(std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  bool open = true;
  while (open || !reap()) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
      ended_ = true;
      return false;
    }
    if (open) {
      open = drain_once(10);
    } else {
      ::usleep(2000);
    }
  }
  return true;
}

std::string RunningProgram::results(const std::string& name) const {
  return read_file(dir_ + "/" + name);
}

std::string RunningProgram::errors() const { return read_file(dir_ + "/stderr"); }

}  // namespace testing_support
