#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "arith/decimal.h"

namespace common {

// Writes to a file descriptor in large blocks. The first failed write is remembered
// (error()), and everything after it is dropped: the caller decides when to report. A
// write given up after an interrupt (platform/streams.h) counts as failed with EINTR.
class OutputBuffer {
 public:
  // Room for the longest item put in one go (a number with its separator).
  static constexpr std::size_t kSlack = 32;

  // 256 KiB: few writes, and the block stays in the second-level cache.
  explicit OutputBuffer(int fd, std::size_t capacity = std::size_t{1} << 18);
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;

  void put(char c) {
    if (end_ == limit_) flush();
    *end_++ = c;
  }

  void put(std::string_view text);
  // Puts `text` `times` times. A long run is written from the buffer filled with copies
  // once, so that its bytes are not copied again for every repeat.
  void put_repeated(std::string_view text, std::uint64_t times);

  // Room for at least `bytes` bytes at the returned pointer; hand the end back to commit().
  char* reserve(std::size_t bytes) {
    if (static_cast<std::size_t>(limit_ - end_) < bytes) make_room(bytes);
    return end_;
  }
  void commit(char* new_end) { end_ = new_end; }

  // Writes out everything buffered; false once any write has failed.
  bool flush();

  std::size_t buffered() const { return static_cast<std::size_t>(end_ - begin_); }
  // Bytes handed to the descriptor so far.
  std::uint64_t flushed() const { return flushed_; }

  // Drops what was buffered after the first `keep` bytes (keep <= buffered()).
  void drop_after(std::size_t keep) { end_ = begin_ + keep; }

  // For text made of lines: call after putting a line end. durable_line_end() is then
  // where the last line that reached the descriptor whole ends (0 for none), also after
  // a write that failed part-way.
  void note_line_end() { line_end_ = flushed_ + buffered(); }
  std::uint64_t durable_line_end() const { return durable_line_end_; }

  int error() const { return error_; }
  int fd() const { return fd_; }

 private:
  void make_room(std::size_t bytes);
  // Hands bytes to the descriptor unless a write has failed, and keeps the accounts.
  void write_out(const char* bytes, std::size_t size);

  int fd_;
  // Left uninitialised: a page is touched only when output reaches it, so a short run
  // does not pay for the whole buffer.
  std::unique_ptr<char[]> storage_;
  char* begin_;
  char* end_;
  char* limit_;
  std::uint64_t flushed_ = 0;
  std::uint64_t line_end_ = 0;
  std::uint64_t durable_line_end_ = 0;
  int error_ = 0;
};

// Writes v in decimal at p and returns the end.
using arith::write_decimal;

}  // namespace common
