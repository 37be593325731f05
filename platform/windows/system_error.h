#pragma once

#include <windows.h>

// The layer reports failures as errno-style codes on every system, so that messages read
// the same ("No space left on device") whichever system call failed.
namespace platform::windows {

// The errno-style code of a system error code from GetLastError().
int errno_of(DWORD error);

}  // namespace platform::windows
