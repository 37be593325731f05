#pragma once

#include <windows.h>

// The layer reports failures as errno-style codes on every system, so that the callers
// can tell a broken pipe or an interrupt alike everywhere. Messages, though, give the
// system's own text for its own errors ("There is not enough space on the disk."):
// each code made from a system error keeps that error for error_text().
namespace platform::windows {

// The errno-style code of a system error code from GetLastError(). `note`, when given, is
// said after the system's text, to name what the system leaves unsaid (a static string
// that starts with a space).
int errno_of(DWORD error, const char* note = nullptr);

}  // namespace platform::windows
