#include "common/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

namespace common {

void guard_standard_descriptors() {
  // Standard input gets a write-only placeholder and the outputs read-only ones, so
  // each use fails with EBADF just as the closed descriptor would have.
  const int modes[3] = {O_WRONLY, O_RDONLY, O_RDONLY};
  for (int fd = 0; fd < 3; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1) continue;
    int placeholder = ::open("/dev/null", modes[fd]);
    if (placeholder >= 0 && placeholder != fd) {
      ::dup2(placeholder, fd);
      ::close(placeholder);
    }
  }
}

void defer_broken_pipe_signal() { std::signal(SIGPIPE, SIG_IGN); }

void finish_broken_pipe() {
  std::signal(SIGPIPE, SIG_DFL);
  std::raise(SIGPIPE);
  std::_Exit(128 + SIGPIPE);
}

}  // namespace common
