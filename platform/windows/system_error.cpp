#include "platform/windows/system_error.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/streams.h"

namespace platform::windows {

namespace {

// The system error last reported as each errno-style code, with its note. The codes are
// reported at once, by the one thread that meets them.
struct Origin {
  DWORD error = 0;
  const char* note = nullptr;
};
constexpr int kCodes = 256;
Origin origins[kCodes];

int remembered(int code, DWORD error, const char* note) {
  if (code >= 0 && code < kCodes) origins[code] = {error, note};
  return code;
}

// The system error that stands for a code that no system call gave (a handle found
// unusable before any call was made), or 0.
DWORD typical_error(int code) {
  switch (code) {
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case EACCES:
      return ERROR_ACCESS_DENIED;
    case ENOSPC:
      return ERROR_DISK_FULL;
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    default:
      return 0;
  }
}

// The system's text for `error` in the user's language, as UTF-8, without the line end
// it comes with; empty when it has none.
std::string system_text(DWORD error) {
  wchar_t* wide = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&wide), 0, nullptr);
  std::string text;
  if (length != 0) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), nullptr, 0,
                                         nullptr, nullptr);
    text.resize(static_cast<std::size_t>(size));
    WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), text.data(), size, nullptr,
                        nullptr);
  }
  LocalFree(wide);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
    text.pop_back();
  }
  return text;
}

}  // namespace

int errno_of(DWORD error, const char* note) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:  // no such drive letter
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_NAME:
      return remembered(ENOENT, error, note);
    case ERROR_NOT_READY:  // a drive without its medium
    case ERROR_DEV_NOT_EXIST:
      return remembered(ENODEV, error, note);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return remembered(EACCES, error, note);
    case ERROR_WRITE_PROTECT:
      return remembered(EROFS, error, note);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return remembered(ENOSPC, error, note);
    case ERROR_FILE_TOO_LARGE:
      return remembered(EFBIG, error, note);
    case ERROR_INVALID_HANDLE:
      return remembered(EBADF, error, note);
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:             // a write to a pipe whose reader has gone
    case ERROR_PIPE_NOT_CONNECTED:  // the same, under Wine
      return remembered(EPIPE, error, note);
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return remembered(ENOMEM, error, note);
    case ERROR_INVALID_PARAMETER:
    case ERROR_INVALID_FUNCTION:  // e.g. cutting a pipe or a device to a size
      return remembered(EINVAL, error, note);
    default:
      return remembered(EIO, error, note);
  }
}

}  // namespace platform::windows

namespace platform {

std::string error_text(int code) {
  windows::Origin origin;
  if (code >= 0 && code < windows::kCodes) origin = windows::origins[code];
  if (origin.error == 0) origin.error = windows::typical_error(code);
  std::string text = origin.error != 0 ? windows::system_text(origin.error) : "";
  if (text.empty()) return std::strerror(code);
  if (origin.note != nullptr) text += origin.note;
  return text;
}

}  // namespace platform
