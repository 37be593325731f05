#include "tests/support/run_program.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace testing_support {

namespace {

std::string temp_file(const std::string& dir, const char* name) { return dir + "/" + name; }

void write_file(const std::string& path, const std::string& content) {
  std::ofstream file(path, std::ios::binary);
  file << content;
}

}  // namespace

std::string make_temp_directory() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/tamsel-test-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

std::string read_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

RunResult run_program(const std::string& program, const std::string& input,
                      const RunOptions& options) {
  // Files rather than pipes: no deadlock however much the program writes.
  const std::string scratch = make_temp_directory();
  const std::string in_path = temp_file(scratch, "stdin");
  const std::string out_path = temp_file(scratch, "stdout");
  const std::string err_path = temp_file(scratch, "stderr");
  write_file(in_path, input);

  // Faults come from the shim in tests/support; AddressSanitizer, which wants its runtime
  // loaded first, is told that the shim only passes calls on.
  std::string fail_spec, asan_options;
  const bool shimmed = options.fault.call != nullptr || options.jitter;
  if (options.fault.call != nullptr) {
    fail_spec = std::string(options.fault.call) + ":" + std::to_string(options.fault.fd) + ":" +
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

  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    int in = ::open(in_path.c_str(), O_RDONLY);
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
      if (!fail_spec.empty()) ::setenv("TAMSEL_FAIL", fail_spec.c_str(), 1);
      if (options.jitter) ::setenv("TAMSEL_JITTER", "1", 1);
    }
    ::signal(SIGPIPE, SIG_DFL);
    ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }

  if (pipe_ends[1] >= 0) ::close(pipe_ends[1]);
  RunResult result;
  int status = 0;
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(options.timeout_seconds);
  for (;;) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      result.timed_out = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  result.out = read_file(out_path);
  result.err = read_file(err_path);
  std::remove(in_path.c_str());
  std::remove(out_path.c_str());
  std::remove(err_path.c_str());
  ::rmdir(scratch.c_str());
  return result;
}

RunResult run_shell(const std::string& script, const std::string& input,
                    const RunOptions& options) {
  const std::string dir = make_temp_directory();
  const std::string path = dir + "/run.sh";
  write_file(path, "#!/bin/sh\n" + script + "\n");
  ::chmod(path.c_str(), 0755);
  RunResult result = run_program(path, input, options);
  ::unlink(path.c_str());
  ::rmdir(dir.c_str());
  return result;
}

bool have_command(const std::string& command) {
  return run_shell("command -v " + quoted(command) + " >/dev/null").exit_code == 0;
}

std::string quoted(const std::string& text) {
  std::string q = "'";
  for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

}  // namespace testing_support
