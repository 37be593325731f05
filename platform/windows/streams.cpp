#include "platform/streams.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/windows/blocking_calls.h"
#include "platform/windows/handles.h"
#include "platform/windows/interrupt_state.h"
#include "platform/windows/system_error.h"

namespace platform {

namespace {

using windows::Call;

// Standard output and standard error are text streams, as a console program's are
// here, from the first byte (--help comes before prepare_standard_streams): each "\n"
// written goes out as CR LF, a lone "\r" (a progress frame's) as it is. The translation
// is done here, since the writes bypass the C library.
bool is_text_stream(int fd) { return fd == 1 || fd == 2; }

// Of a write to a text stream, at most this much is translated at a time, so that the
// translation (at most twice as long) fits one call.
constexpr std::size_t kTextPiece = windows::kLargestCall / 2;
// Of any other write made directly, at most this much at a time (a call takes a DWORD).
constexpr std::size_t kDirectPiece = std::size_t{1} << 30;

// How long a console read that came back empty waits for the interrupt that ended it:
// Ctrl-C cuts a console read short before the handler has run.
constexpr DWORD kConsoleCutWait = 200;

using windows::handle_of;

// The C library gives -1 for a descriptor that is not open and -2 for a standard one
// that has no stream behind it.
bool usable(HANDLE handle) {
  return handle != INVALID_HANDLE_VALUE && handle != reinterpret_cast<HANDLE>(-2) &&
         handle != nullptr;
}

bool is_console(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

// A descriptor opened only for the other direction (a placeholder) fails as on POSIX.
int errno_of_transfer(DWORD error) {
  return windows::errno_of(error == ERROR_ACCESS_DENIED ? ERROR_INVALID_HANDLE : error);
}

// Copies `size` bytes of `text` to `out` with each "\n" made "\r\n"; the length copied.
std::size_t with_crlf(const char* text, std::size_t size, char* out) {
  char* const start = out;
  for (const char* end = text + size; text < end;) {
    const auto* newline =
        static_cast<const char*>(std::memchr(text, '\n', static_cast<std::size_t>(end - text)));
    const char* stop = newline != nullptr ? newline : end;
    std::memcpy(out, text, static_cast<std::size_t>(stop - text));
    out += stop - text;
    text = stop;
    if (newline != nullptr) {
      *out++ = '\r';
      *out++ = '\n';
      ++text;
    }
  }
  return static_cast<std::size_t>(out - start);
}

bool has_non_ascii(const char* text, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    if (static_cast<unsigned char>(text[i]) >= 0x80) return true;
  }
  return false;
}

// Text other than ASCII (an argument echoed back) goes to a console as UTF-16, which
// shows it as typed whatever the console's code page. False when the console refused it.
bool write_to_console(HANDLE console, const char* text, std::size_t size) {
  const int length = static_cast<int>(size);
  const int wide_length = MultiByteToWideChar(CP_UTF8, 0, text, length, nullptr, 0);
  const std::unique_ptr<wchar_t[]> wide =
      std::make_unique<wchar_t[]>(static_cast<std::size_t>(wide_length > 0 ? wide_length : 1));
  MultiByteToWideChar(CP_UTF8, 0, text, length, wide.get(), wide_length);
  for (int done = 0; done < wide_length;) {
    DWORD written = 0;
    if (!WriteConsoleW(console, wide.get() + done, static_cast<DWORD>(wide_length - done), &written,
                       nullptr) ||
        written == 0) {
      return false;
    }
    done += static_cast<int>(written);
  }
  return true;
}

// The call made directly, or on the helper thread while interrupts are caught and the
// handle can hold it. False when given up on for an interrupt.
bool make(Call& call, bool via_helper) {
  if (via_helper) return windows::make_call_unless_interrupted(call);
  windows::make_call(call);
  return true;
}

}  // namespace

void prepare_standard_streams() {
  // A closed descriptor gets a placeholder opened for the other direction, so that each
  // use fails (EBADF) as the closed one would have and no file opened later takes it.
  for (int fd = 0; fd < 3; ++fd) {
    if (usable(handle_of(fd))) continue;
    const int placeholder = ::_open("NUL", fd == 0 ? _O_WRONLY : _O_RDONLY);
    if (placeholder >= 0 && placeholder != fd) {
      ::_dup2(placeholder, fd);
      ::_close(placeholder);
    }
  }
  // Input is read as bytes: the number reader takes CR as whitespace. The C library's
  // modes match what the writes here do, for anything else that writes.
  ::_setmode(0, _O_BINARY);
  ::_setmode(1, _O_TEXT);
  ::_setmode(2, _O_TEXT);
}

Transfer read_some(int fd, char* buffer, std::size_t size) {
  const HANDLE handle = handle_of(fd);
  if (!usable(handle)) return {0, windows::errno_of(ERROR_INVALID_HANDLE), false};
  const bool via_helper = windows::catching_interrupts() && windows::may_block(handle);
  for (;;) {
    if (windows::interrupted()) return {0, 0, true};
    Call call{handle, false, buffer,
              static_cast<DWORD>(std::min<std::size_t>(size, windows::kLargestCall))};
    if (!make(call, via_helper)) return {0, 0, true};
    if (call.done == 0 && windows::catching_interrupts() && is_console(handle) &&
        WaitForSingleObject(windows::interrupt_event, kConsoleCutWait) == WAIT_OBJECT_0) {
      return {0, 0, true};
    }
    if (call.error == ERROR_OPERATION_ABORTED) continue;  // cut short, but not by us
    if (call.error != 0) return {0, errno_of_transfer(call.error), false};
    return {call.done, 0, false};
  }
}

Transfer write_all(int fd, const char* data, std::size_t size) {
  Transfer result;
  if (size == 0) return result;
  const HANDLE handle = handle_of(fd);
  if (!usable(handle)) {
    result.error = windows::errno_of(ERROR_INVALID_HANDLE);
    return result;
  }
  const bool text = is_text_stream(fd);
  const bool via_helper = windows::catching_interrupts() && windows::may_block(handle);
  const std::size_t largest = text ? kTextPiece : via_helper ? windows::kLargestCall : kDirectPiece;
  static const std::unique_ptr<char[]> translated = std::make_unique<char[]>(windows::kLargestCall);
  // Elsewhere (a file, a pipe) such text stays UTF-8, as it came.
  if (text && is_console(handle) && has_non_ascii(data, size) && size <= kTextPiece) {
    const std::size_t length = with_crlf(data, size, translated.get());
    if (write_to_console(handle, translated.get(), length))
      result.bytes = size;
    else
      result.error = windows::errno_of(GetLastError());
    return result;
  }
  while (result.bytes < size) {
    const std::size_t piece = std::min(size - result.bytes, largest);
    Call call{handle, true, const_cast<char*>(data + result.bytes), static_cast<DWORD>(piece)};
    if (text) {
      call.size = static_cast<DWORD>(with_crlf(data + result.bytes, piece, translated.get()));
      call.data = translated.get();
    }
    if (!make(call, via_helper) || call.error == ERROR_OPERATION_ABORTED) {
      result.interrupted = true;
      return result;
    }
    if (call.error != 0) {
      result.error = errno_of_transfer(call.error);
      // What a failed write still wrote counts, where it is the caller's own bytes.
      if (!text) result.bytes += call.done;
      return result;
    }
    result.bytes += piece;
  }
  return result;
}

bool is_terminal(int fd) {
  const HANDLE handle = handle_of(fd);
  return usable(handle) && is_console(handle);
}

bool same_destination(int a, int b) {
  const HANDLE first = handle_of(a);
  const HANDLE second = handle_of(b);
  if (!usable(first) || !usable(second)) return true;
  const DWORD type = GetFileType(first);
  if (type != GetFileType(second)) return false;
  // Files are told apart by their identity; two pipes or consoles are not, and count as one.
  BY_HANDLE_FILE_INFORMATION one{};
  BY_HANDLE_FILE_INFORMATION other{};
  if (type != FILE_TYPE_DISK || !GetFileInformationByHandle(first, &one) ||
      !GetFileInformationByHandle(second, &other)) {
    return true;
  }
  return one.dwVolumeSerialNumber == other.dwVolumeSerialNumber &&
         one.nFileIndexHigh == other.nFileIndexHigh && one.nFileIndexLow == other.nFileIndexLow;
}

}  // namespace platform
