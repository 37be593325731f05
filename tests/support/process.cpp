// The parts of the process driver that need no system calls of their own.
#include "tests/support/process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace testing_support {

namespace {
constexpr std::size_t kKept = 64 * 1024;
}

std::string make_temp_directory() {
  std::random_device seed;
  std::mt19937_64 random(seed());
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path dir = base / ("tamsel-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(dir)) return dir.string();
  }
  throw std::runtime_error("no fresh temporary directory in " + base.string());
}

bool have_tool(const std::string& tool) {
  if (have_command(tool)) return true;
  const char* ci = std::getenv("CI");
  if (ci != nullptr && std::string(ci) == "true") ADD_FAILURE() << tool << " is missing";
  return false;
}

std::string read_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

std::string quoted(const std::string& text) {
  std::string q = "'";
  for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

void RunningProgram::keep(std::string_view data) {
  bytes_ += data.size();
  if (head_.size() < kKept) head_.append(data.substr(0, kKept - head_.size()));
  tail_.append(data);
  if (tail_.size() > kKept) tail_.erase(0, tail_.size() - kKept);
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

bool RunningProgram::finish(std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  bool open = true;
  while (open || !reap()) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill();
      return false;
    }
    if (open) {
      open = drain_once(10);
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }
  return true;
}

std::string RunningProgram::results(const std::string& name) const {
  return read_file(dir_ + "/" + name);
}

std::string RunningProgram::errors() const { return read_file(dir_ + "/stderr"); }

}  // namespace testing_support
