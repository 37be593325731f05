#pragma once

#include <cstdint>

// A file that one run of a program owns for its whole duration: opened once, emptied,
// written, cut back and closed. Offsets count the bytes written through write_all().
namespace platform {

struct OwnedFile {
  enum Outcome {
    opened,
    cannot_open,      // `error` says why; nothing was changed
    in_use,           // another process holds it; nothing was changed
    is_input,         // it is this program's standard input; nothing was changed
    is_output,        // it is this program's standard output; nothing was changed
    is_error,         // it is this program's standard error; nothing was changed
    interrupted,      // an interrupt came while opening (a FIFO without a reader)
    no_drive,         // Windows: the drive the path names does not exist
    drive_not_ready,  // Windows: that drive exists but has no disc, card or connection
  };
  Outcome outcome = cannot_open;
  int fd = -1;
  int error = 0;
};

// Opens `path` for writing, creating it if need be, and empties it, but only once it is
// known to be none of the standard streams (whatever it is: a file, a FIFO, the pipe or
// socket behind a link such as /dev/stdin; a character device such as /dev/null or a
// terminal may be shared) and this process holds it
// exclusively (an advisory lock on POSIX, the share mode on Windows) for as long as it
// stays open. Written as bytes: a caller that wants the platform's line end writes
// kLineEnd.
OwnedFile open_owned_file(const char* path);

// Cuts the file back to its first `size` bytes and goes on writing there. 0, ESPIPE when
// it is not a regular file (a FIFO, a pipe or a device cannot be cut), or the errno-style
// code of another failure.
int cut_back(int fd, std::uint64_t size);

// Closes the file; 0 or the code of a failure (a delayed write error).
int close_file(int fd);

// How another holder of the file is named: on Windows another program has it open; on
// POSIX any process may hold an advisory lock of either kind (a record lock, even on a
// single byte, or flock()), through any other open of the file.
#ifdef _WIN32
inline constexpr char kHeldElsewhere[] = " is open in another program";
#else
inline constexpr char kHeldElsewhere[] = " is locked by another process";
#endif

// How text files end their lines here.
#ifdef _WIN32
inline constexpr char kLineEnd[] = "\r\n";
#else
inline constexpr char kLineEnd[] = "\n";
#endif

}  // namespace platform
