#pragma once

// The exit statuses of all three programs.
namespace common {

inline constexpr int kSuccess = 0;
// Something was reported on standard error: a number out of range, a failed read or
// write, too little memory.
inline constexpr int kFailure = 1;
// A wrong command line; nothing was read or written.
inline constexpr int kUsageError = 2;
// The program caught itself in a fault of its own (the sysexits.h value for that).
inline constexpr int kInternalError = 70;

}  // namespace common
