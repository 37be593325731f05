#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The standard streams and other descriptors as the programs use them: whole writes,
// reads that wait, and interruption (see interrupts.h) that cuts a wait short. A stream
// that whoever started the program left non-blocking is waited for like any other.
namespace platform {

// What a read or write came to.
struct Transfer {
  std::size_t bytes = 0;     // read: 0 with no error means the end of input
  int error = 0;             // errno-style code of a failure, or 0
  bool interrupted = false;  // an interrupt was caught first; `bytes` may be partial
};

// Call first in main(), before anything is opened. A descriptor 0, 1 or 2 that the
// caller closed gets a placeholder that fails every use (/dev/null opened the wrong way,
// or without it a pipe's wrong end), so a file opened later cannot take its number; broken pipes
// and oversized files become write errors (EPIPE, EFBIG) instead of deaths by signal (see
// is_broken_pipe()); on Windows standard input is read as bytes (CR LF is whitespace to the reader)
// while the outputs stay in text mode, so each newline written becomes CR LF.
void prepare_standard_streams();

// Some bytes from fd, waiting until there are any or the input ends. Calls interrupted
// by unrelated signals are retried.
Transfer read_some(int fd, char* buffer, std::size_t size);

// All of `size` bytes to fd, however many calls that takes, waiting while the stream is
// not ready. Gives up at the first failure. Once an interrupt has been caught, also a
// write that was blocked (a stalled reader) goes on only while the stream keeps taking
// bytes; one that takes nothing for a moment is given up (`interrupted`), so that the
// program can save what it has and end.
Transfer write_all(int fd, const char* data, std::size_t size);
inline Transfer write_all(int fd, std::string_view text) {
  return write_all(fd, text.data(), text.size());
}

// fd is a terminal (a console on Windows).
bool is_terminal(int fd);

// What is written to a and to b can end up side by side: the same file, pipe or device
// (as after `2>&1` or `>>f 2>>f`), or two terminals. Where that cannot be told, true.
bool same_destination(int a, int b);

// The error that a write to a reader that has gone away fails with: the program stops.
bool is_broken_pipe(int error);

// Whether a reader gone ends the program quietly, as it ends any filter
// (end_by_broken_pipe()). Where whoever started the program ignored or blocked SIGPIPE,
// false: the program then reports the failed write like any other and ends with status 1.
bool broken_pipe_ends_quietly();

// The text of an errno-style code: "No space left on device".
std::string error_text(int error);

}  // namespace platform
