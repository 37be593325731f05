#pragma once

namespace logging_finder {

// The name in messages, and the fixed names the program works with.
inline constexpr const char* kProgram = "tamsel4-3";
// On a system with drive letters a path; elsewhere the name of a file in the working
// directory, backslash and colon included.
inline constexpr const char* kResultsPath = "D:\\Orvanic.txt";
// Reading this number ends the run.
inline constexpr int kExitNumber = 21;
// The exit status of a fault inside the program (EX_SOFTWARE where that is defined).
inline constexpr int kInternalError = 70;

}  // namespace logging_finder
