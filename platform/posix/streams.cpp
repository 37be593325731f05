#include "platform/streams.h"

#include <fcntl.h>
#include <signal.h>
#ifdef __linux__
#include <poll.h>
#else
#include <sys/select.h>
#endif
#include <sys/stat.h>
#ifdef __linux__
#include <sys/syscall.h>
#endif
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>

#include "platform/grace_period.h"
#include "platform/posix/interrupt_state.h"
#include "platform/stream_errors.h"

namespace platform {

namespace {

// A pipe that reports room takes at least this much without blocking.
constexpr std::size_t kAtomicWrite = PIPE_BUF;

bool interrupted() { return posix::first_interrupt != 0; }

enum class Wait { ready, again, give_up };

// Waits until fd can be read or written. The caught signals are held back from the flag
// test until the wait lets them in atomically, so one that comes just before the wait
// still ends it instead of being slept through. While saving after an interrupt the
// wait is bounded by the grace period. Linux's ppoll() takes any descriptor; elsewhere
// pselect() does (poll() refuses terminals on macOS), but only below FD_SETSIZE: a
// descriptor above that is not waited for, and a call on it may block.
Wait wait_until_ready(int fd, bool for_writing) {
#ifndef __linux__
  if (fd >= FD_SETSIZE) return Wait::ready;
#endif
  sigset_t usual;
  ::pthread_sigmask(SIG_BLOCK, &posix::interrupt_signals(), &usual);
  const bool saving = interrupted();
  timespec grace{kGraceMilliseconds / 1000, kGraceMilliseconds % 1000 * 1'000'000L};
#ifdef __linux__
  pollfd request{fd, static_cast<short>(for_writing ? POLLOUT : POLLIN), 0};
  const int ready = ::ppoll(&request, 1, saving ? &grace : nullptr, &usual);
#else
  fd_set set;
  FD_ZERO(&set);
  FD_SET(fd, &set);
  const int ready = ::pselect(fd + 1, for_writing ? nullptr : &set, for_writing ? &set : nullptr,
                              nullptr, saving ? &grace : nullptr, &usual);
#endif
  const int error = errno;
  ::pthread_sigmask(SIG_SETMASK, &usual, nullptr);
  if (ready > 0) return Wait::ready;     // an error or hang-up too: the call itself reports it
  if (ready == 0) return Wait::give_up;  // the grace period ran out
  // A signal: the caller looks at the flag again. Another failure (a descriptor that
  // cannot be waited for) is left for the call itself to report.
  return error == EINTR ? Wait::again : Wait::ready;
}

// A descriptor that fails every use of standard stream `fd` with EBADF, as the closed
// one would: standard input gets a write-only one and the outputs read-only ones. Where
// /dev/null cannot be opened (a bare container), the wrong end of a pipe does the same.
int placeholder_for(int fd) {
  const int from_null = ::open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY);
  if (from_null >= 0) return from_null;
  int ends[2];
  if (::pipe(ends) != 0) return -1;
  ::close(fd == 0 ? ends[0] : ends[1]);
  return fd == 0 ? ends[1] : ends[0];
}

}  // namespace

void prepare_standard_streams() {
  // Else a file opened later could take the closed stream's number, and what was meant
  // for the stream would go into it.
  for (int fd = 0; fd < 3; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1) continue;
    const int placeholder = placeholder_for(fd);
    if (placeholder >= 0 && placeholder != fd) {
      ::dup2(placeholder, fd);
      ::close(placeholder);
    }
  }
  // Broken pipes are handled where writes fail, so that a program can close its own
  // files first; a file grown past the size limit is a write error like a full disk. A
  // SIGPIPE ignored or blocked by whoever started the program makes a broken pipe a write
  // error: a blocked one could not end the program quietly, only leave a bare status.
  // (signal() tells the disposition it replaces, with no call of its own.)
  sigset_t blocked;
  const bool sigpipe_blocked =
      ::pthread_sigmask(SIG_BLOCK, nullptr, &blocked) == 0 && sigismember(&blocked, SIGPIPE) == 1;
  broken_pipe_is_write_error = std::signal(SIGPIPE, SIG_IGN) == SIG_IGN || sigpipe_blocked;
  std::signal(SIGXFSZ, SIG_IGN);
}

Transfer read_some(int fd, char* buffer, std::size_t size) {
  for (;;) {
    if (interrupted()) return {0, 0, true};
    const Wait wait = wait_until_ready(fd, false);
    if (wait == Wait::give_up) return {0, 0, true};
    if (wait == Wait::again) continue;
    const ssize_t got = ::read(fd, buffer, size);
    if (got >= 0) return {static_cast<std::size_t>(got), 0, false};
    // A stream left non-blocking by whoever started the program is waited for above.
    if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) return {0, errno, false};
  }
}

Transfer write_all(int fd, const char* data, std::size_t size) {
  Transfer done;
  while (done.bytes < size) {
    const bool saving = interrupted();
    // While saving after an interrupt, only as much as the stream takes without
    // blocking goes in at a time, so a stalled reader cannot hold the program.
    if (saving) {
      const Wait wait = wait_until_ready(fd, true);
      if (wait == Wait::give_up) break;
      if (wait == Wait::again) continue;
    }
    std::size_t chunk = size - done.bytes;
    if (saving && chunk > kAtomicWrite) chunk = kAtomicWrite;
    const ssize_t wrote = ::write(fd, data + done.bytes, chunk);
    if (wrote > 0) {
      done.bytes += static_cast<std::size_t>(wrote);
    } else if (wrote < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (wait_until_ready(fd, true) == Wait::give_up) break;
    } else if (wrote == 0 || errno != EINTR) {
      done.error = wrote == 0 ? EIO : errno;
      return done;
    }
  }
  done.interrupted = done.bytes < size;
  return done;
}

bool is_terminal(int fd) { return ::isatty(fd) == 1; }

namespace {

struct Identity {
  unsigned long long device = 0;
  unsigned long long inode = 0;
  bool known = false;
};

// What fd reaches. On Linux asked of the kernel directly: the C library's fstat needs a
// symbol version of its own, whose check every start-up would pay (some 2,000
// instructions, a tenth of a query's own work) though few runs ever ask.
Identity identity_of(int fd) {
  Identity id;
#ifdef __linux__
  struct statx status {};
  if (::syscall(SYS_statx, fd, "", AT_EMPTY_PATH, STATX_INO, &status) != 0) return id;
  id.device = (static_cast<unsigned long long>(status.stx_dev_major) << 32) | status.stx_dev_minor;
  id.inode = status.stx_ino;
#else
  struct stat status {};
  if (::fstat(fd, &status) != 0) return id;
  id.device = static_cast<unsigned long long>(status.st_dev);
  id.inode = static_cast<unsigned long long>(status.st_ino);
#endif
  id.known = true;
  return id;
}

}  // namespace

bool same_destination(int a, int b) {
  if (is_terminal(a) && is_terminal(b)) return true;
  const Identity first = identity_of(a);
  const Identity second = identity_of(b);
  if (!first.known || !second.known) return true;
  return first.device == second.device && first.inode == second.inode;
}

}  // namespace platform
