#include "platform/results_file.h"

#include <fcntl.h>
#ifdef __linux__
#include <sys/file.h>
#endif
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

// The standard stream that `file` also is, whatever its type, or else `otherwise`. A
// character device (/dev/null, a terminal) is made to be shared and is never refused.
OwnedFile::Outcome standard_stream_or(const struct stat& file, OwnedFile::Outcome otherwise) {
  if (S_ISCHR(file.st_mode)) return otherwise;
  if (same_file(file, 0)) return OwnedFile::is_input;
  if (same_file(file, 1)) return OwnedFile::is_output;
  if (same_file(file, 2)) return OwnedFile::is_error;
  return otherwise;
}

// An advisory lock on the whole file, held until it is closed. False only when another
// holder has one; a file system without locks is no reason to refuse the work.
bool lock_whole_file(int fd) {
  struct flock whole = {};
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;
#ifdef __linux__
  // On Linux record locks and flock() locks are apart, and a process does not conflict
  // with its own record locks: held as an open-file-description lock, the record lock
  // also meets one taken through any other open of the file, even in this process (a
  // wrapper that locked it and exec'd the program), and flock() on the same descriptor
  // meets the other kind. Elsewhere (and over NFS or SMB) the two kinds are one lock.
  if (::fcntl(fd, F_OFD_SETLK, &whole) != 0) {
    if (errno == EACCES || errno == EAGAIN) return false;
    if (errno == EINVAL && ::fcntl(fd, F_SETLK, &whole) != 0 &&
        (errno == EACCES || errno == EAGAIN)) {
      return false;  // a kernel before open-file-description locks
    }
  }
  return ::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
#else
  return ::fcntl(fd, F_SETLK, &whole) == 0 || (errno != EACCES && errno != EAGAIN);
#endif
}

}  // namespace

OwnedFile open_owned_file(const char* path) {
  OwnedFile file;
  // Decided from the path first where it exists: opening a FIFO for writing already wakes
  // its reader, and opening a link to /dev/stdin would hand this program its own input.
  struct stat status;
  if (::stat(path, &status) == 0) {
    file.outcome = standard_stream_or(status, OwnedFile::opened);
    if (file.outcome != OwnedFile::opened) return file;
  }
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
  // Again for what was opened, which the path may no longer name.
  const bool known = ::fstat(fd, &status) == 0;
  const bool regular = known && S_ISREG(status.st_mode);
  OwnedFile::Outcome outcome =
      known ? standard_stream_or(status, OwnedFile::opened) : OwnedFile::opened;
  if (outcome == OwnedFile::opened && !lock_whole_file(fd)) {
    outcome = OwnedFile::in_use;
  } else if (outcome == OwnedFile::opened && regular && ::ftruncate(fd, 0) != 0) {
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
  struct stat status;
  if (::fstat(fd, &status) != 0) return errno;
  if (!S_ISREG(status.st_mode)) return ESPIPE;
  const auto end = static_cast<off_t>(size);
  if (::ftruncate(fd, end) != 0) return errno;
  return ::lseek(fd, end, SEEK_SET) < 0 ? errno : 0;
}

int close_file(int fd) { return ::close(fd) == 0 ? 0 : errno; }

}  // namespace platform
