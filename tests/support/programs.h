#pragma once

#include <cstdlib>
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
inline const std::string kResultsFile = "D:\\Orvanic.txt";
// tamsel4-3's prompt, after each number that reached the root search.
inline const std::string kPrompt = "input 21 to exit:\n";

// Where tamsel4-3 run in `working_directory` leaves its results file. Without drive
// letters the whole name is a file in that directory. On Windows it is the absolute path
// on drive D: the test looks in the folder named by the environment variable
// TAMSEL_DRIVE_D (a path the test itself can open; the Wine prefix maps drive D there),
// or on D: itself. That folder is shared by every run, so a file there may be left over.
inline std::string results_path([[maybe_unused]] const std::string& working_directory) {
#ifdef _WIN32
  const char* drive_d = std::getenv("TAMSEL_DRIVE_D");
  return std::string(drive_d != nullptr && *drive_d != '\0' ? drive_d : "D:") + "/Orvanic.txt";
#else
  return working_directory + "/" + kResultsFile;
#endif
}

// Text as the programs write it to standard output, standard error and the results
// file: on Windows, in text mode, each newline becomes CR LF (a lone CR stays one).
inline std::string as_written(std::string text) {
#ifdef _WIN32
  for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2) {
    text.insert(at, 1, '\r');
  }
#endif
  return text;
}

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
