#include "tests/faults/programs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace faults {

std::vector<Program> built_programs() {
  return {{"tamsel4-2", TAMSEL42_PATH, false},
          {"tamsel4-3", TAMSEL43_PATH, true},
          {"tamsel", TAMSEL_PATH, false}};
}

std::string test_name(const Program& program) {
  std::string name = program.name;
  for (char& c : name) {
    if (c == '-') c = '_';
  }
  return name;
}

std::string quoted(const std::string& text) {
  std::string q = "'";
  for (char c : text) {
    if (c == '\'') {
      q += "'\\''";
    } else {
      q += c;
    }
  }
  return q + "'";
}

testing_support::RunResult run_shell(const std::string& script, const std::string& input,
                                     const testing_support::RunOptions& options) {
  const std::string dir = testing_support::make_temp_directory();
  const std::string path = dir + "/run.sh";
  {
    std::ofstream file(path);
    file << "#!/bin/sh\n" << script << '\n';
  }
  ::chmod(path.c_str(), 0755);
  testing_support::RunResult result = testing_support::run_program(path, input, options);
  ::unlink(path.c_str());
  ::rmdir(dir.c_str());
  return result;
}

}  // namespace faults
