// Loaded into a program under test with LD_PRELOAD, this library stands in for read,
// write and close to give the program what a failing disk, a slow pipe or a signal would:
//   TAMSEL_FAIL=CALL:FD:ERRNO:NTH  the NTH call of CALL on FD (-1: any descriptor above
//                                  standard error) fails with ERRNO; for CALL open,
//                                  the NTH open of /dev/null (FD unused), as in a bare
//                                  container without it;
//   TAMSEL_FAIL=partial:FD:ERRNO:NTH  the same for a write, but half of its bytes reach
//                                  the file first, as some runtimes fail on a full disk;
//   TAMSEL_JITTER=1                every other read or write is interrupted (EINTR) before
//                                  it starts, reads return one byte (cutting every
//                                  token, mark and UTF-16 unit) and writes take half
//                                  of what they are given.
// It is built without sanitizers: it only passes calls on to whatever comes next.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/types.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Failure {
  char call[8] = "";
  int fd = 0;
  int error = 0;
  long nth = 0;
  long seen = 0;
};

Failure& failure() {
  static Failure f = [] {
    Failure parsed;
    if (const char* request = std::getenv("TAMSEL_FAIL")) {
      std::sscanf(request, "%7[a-z]:%d:%d:%ld", parsed.call, &parsed.fd, &parsed.error,
                  &parsed.nth);
    }
    return parsed;
  }();
  return f;
}

// True for the one call chosen to fail; errno is then set.
bool fails(const char* call, int fd) {
  Failure& f = failure();
  if (std::strcmp(f.call, call) != 0 || (f.fd >= 0 ? fd != f.fd : fd <= 2)) return false;
  if (++f.seen != f.nth) return false;
  errno = f.error;
  return true;
}

bool jitter() {
  static const bool on = std::getenv("TAMSEL_JITTER") != nullptr;
  return on;
}

bool interrupted() {
  static bool turn = false;
  turn = !turn;
  if (!jitter() || !turn) return false;
  errno = EINTR;
  return true;
}

template <class Function>
Function next(const char* name) {
  return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" ssize_t read(int fd, void* buffer, size_t count) {
  static const auto real = next<ssize_t (*)(int, void*, size_t)>("read");
  if (fails("read", fd) || interrupted()) return -1;
  return real(fd, buffer, jitter() && count > 1 ? 1 : count);
}

extern "C" ssize_t write(int fd, const void* buffer, size_t count) {
  static const auto real = next<ssize_t (*)(int, const void*, size_t)>("write");
  if (fails("write", fd) || interrupted()) return -1;
  if (fails("partial", fd)) {
    real(fd, buffer, count / 2);
    errno = failure().error;
    return -1;
  }
  return real(fd, buffer, jitter() && count > 1 ? count / 2 : count);
}

extern "C" int close(int fd) {
  static const auto real = next<int (*)(int)>("close");
  if (!fails("close", fd)) return real(fd);
  // As after a real failure, the descriptor is released all the same.
  real(fd);
  errno = failure().error;
  return -1;
}

extern "C" int open(const char* path, int flags, ...) {
  static const auto real = next<int (*)(const char*, int, ...)>("open");
  mode_t mode = 0;
  if ((flags & O_CREAT) != 0) {
    va_list rest;
    va_start(rest, flags);
    mode = static_cast<mode_t>(va_arg(rest, int));
    va_end(rest);
  }
  if (std::strcmp(path, "/dev/null") == 0 && fails("open", 3)) return -1;
  return real(path, flags, mode);
}
