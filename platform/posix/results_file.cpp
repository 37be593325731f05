#include "platform/results_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/interrupts.h"

namespace platform {

namespace {

bool same_file(const struct stat& file, int fd) {
  struct stat other;
  return ::fstat(fd, &other) == 0 && other.st_dev == file.st_dev && other.st_ino == file.st_ino;
}

// An advisory lock on the whole file, held until it is closed. False only when another
// process holds one; a file system without locks is no reason to refuse the work.
bool lock_whole_file(int fd) {
  struct flock whole = {};
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;
  return ::fcntl(fd, F_SETLK, &whole) == 0 || (errno != EACCES && errno != EAGAIN);
}

}  // namespace

OwnedFile open_owned_file(const char* path) {
  OwnedFile file;
  // Not truncated yet: nothing may change before the checks below.
  int fd;
  do {
    fd = ::open(path, O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR && caught_interrupt() == 0);
  if (fd < 0) {
    file.outcome = errno == EINTR ? OwnedFile::interrupted : OwnedFile::cannot_open;
    file.error = errno;
    return file;
  }
  struct stat status;
  const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
  OwnedFile::Outcome outcome = OwnedFile::opened;
  if (regular && same_file(status, 0)) {
    outcome = OwnedFile::is_input;
  } else if (regular && same_file(status, 1)) {
    outcome = OwnedFile::is_output;
  } else if (!lock_whole_file(fd)) {
    outcome = OwnedFile::in_use;
  } else if (regular && ::ftruncate(fd, 0) != 0) {
    outcome = OwnedFile::cannot_open;
    file.error = errno;
  }
  if (outcome != OwnedFile::opened) {
    ::close(fd);
    file.outcome = outcome;
    return file;
  }
  file.outcome = OwnedFile::opened;
  file.fd = fd;
  return file;
}

int cut_back(int fd, std::uint64_t size) {
  const auto end = static_cast<off_t>(size);
  if (::ftruncate(fd, end) != 0) return errno;
  return ::lseek(fd, end, SEEK_SET) < 0 ? errno : 0;
}

int close_file(int fd) { return ::close(fd) == 0 ? 0 : errno; }

}  // namespace platform
