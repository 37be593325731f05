#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace testing_support {

struct Program {
  std::string name;
  std::string path;
  // tamsel4-3: root lists go to a results file in the working directory, the console
  // shows progress and prompts, and 21 ends the run.
  bool logs = false;
};

inline std::ostream& operator<<(std::ostream& os, const Program& p) { return os << p.name; }

// tamsel4-3's results file, in its working directory.
inline constexpr const char* kResultsFile = "D:\\Orvanic.txt";

// The three programs, from the paths the test target is given.
inline std::vector<Program> all_programs() {
  return {{"tamsel4-2", TAMSEL42_PATH, false},
          {"tamsel4-3", TAMSEL43_PATH, true},
          {"tamsel", TAMSEL_PATH, false}};
}

// A test name for a program ("tamsel4_2").
inline std::string test_name(const Program& program) {
  std::string name = program.name;
  for (char& c : name) {
    if (c == '-') c = '_';
  }
  return name;
}

}  // namespace testing_support
