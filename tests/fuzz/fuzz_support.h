#pragma once
// Small helpers shared by the fuzz targets: capturing what an OutputBuffer writes, and
// failing loudly with the evidence.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/output_buffer.h"

namespace fuzz_support {

[[noreturn]] inline void fail(const std::string& what) {
  std::fprintf(stderr, "MISMATCH: %s\n", what.c_str());
  std::abort();
}

// The first bytes of a possibly long text, for failure messages.
inline std::string head(const std::string& text, std::size_t limit = 200) {
  return text.size() <= limit ? text : text.substr(0, limit) + "...";
}

// An anonymous in-memory file, emptied before each use.
class MemoryFile {
 public:
  explicit MemoryFile(const char* name) : fd_(::memfd_create(name, 0)) {
    if (fd_ < 0) fail("memfd_create failed");
  }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  ~MemoryFile() { ::close(fd_); }

  int fd() const { return fd_; }

  void reset() {
    if (::ftruncate(fd_, 0) != 0 || ::lseek(fd_, 0, SEEK_SET) != 0) fail("cannot empty memfd");
  }

  void reset(const void* data, std::size_t size) {
    reset();
    if (size > 0 && ::write(fd_, data, size) != static_cast<ssize_t>(size)) {
      fail("cannot fill memfd");
    }
    ::lseek(fd_, 0, SEEK_SET);
  }

  std::string contents() const {
    std::string text;
    char chunk[1 << 16];
    for (off_t at = 0;;) {
      const ssize_t got = ::pread(fd_, chunk, sizeof chunk, at);
      if (got <= 0) break;
      text.append(chunk, static_cast<std::size_t>(got));
      at += got;
    }
    return text;
  }

 private:
  int fd_;
};

// Runs write(out) with an OutputBuffer of the given capacity on a memory file and
// returns everything it wrote.
template <class Write>
std::string capture(MemoryFile& file, std::size_t capacity, Write&& write) {
  file.reset();
  {
    common::OutputBuffer out(file.fd(), capacity);
    write(out);
    if (!out.flush()) fail("write to memfd failed");
  }
  return file.contents();
}

}  // namespace fuzz_support
