#include "tests/usage/shell.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace usage {

std::vector<Program> programs() {
  return {{"tamsel4-2", TAMSEL42_PATH}, {"tamsel4-3", TAMSEL43_PATH}, {"tamsel", TAMSEL_PATH}};
}

testing_support::RunResult run_script(const std::string& script, const std::string& input,
                                      const testing_support::RunOptions& options) {
  const std::string dir = testing_support::make_temp_directory();
  const std::string path = dir + "/script.sh";
  std::ofstream(path) << "#!/bin/sh\n" << script << '\n';
  ::chmod(path.c_str(), 0755);
  auto result = testing_support::run_program(path, input, options);
  std::filesystem::remove_all(dir);
  return result;
}

std::string quoted(const std::string& word) {
  std::string q = "'";
  for (char c : word) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

bool have_command(const std::string& command) {
  return run_script("command -v " + quoted(command) + " >/dev/null").exit_code == 0;
}

}  // namespace usage
