#pragma once

#include <io.h>
#include <windows.h>

#include <cstdint>

namespace platform::windows {

// The system handle behind a C library descriptor (INVALID_HANDLE_VALUE, or -2 for a
// standard descriptor without a stream, when there is none).
inline HANDLE handle_of(int fd) { return reinterpret_cast<HANDLE>(::_get_osfhandle(fd)); }

}  // namespace platform::windows
