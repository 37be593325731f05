#include "common/output_buffer.h"

#include <algorithm>
#include <cerrno>

#include "platform/streams.h"

namespace common {

OutputBuffer::OutputBuffer(int fd, std::size_t capacity) : fd_(fd) {
  capacity = std::max(capacity, 4 * kSlack);
  // Uninitialised, as make_unique_for_overwrite would give (not every library has it yet).
  storage_.reset(new char[capacity]);
  begin_ = end_ = storage_.get();
  limit_ = begin_ + capacity;
}

void OutputBuffer::put(std::string_view text) {
  while (!text.empty()) {
    if (end_ == limit_) flush();
    std::size_t n = std::min(text.size(), static_cast<std::size_t>(limit_ - end_));
    std::memcpy(end_, text.data(), n);
    end_ += n;
    text.remove_prefix(n);
  }
}

void OutputBuffer::make_room(std::size_t bytes) {
  flush();
  if (static_cast<std::size_t>(limit_ - end_) < bytes) {
    storage_.reset(new char[bytes]);  // empty: nothing to copy
    begin_ = end_ = storage_.get();
    limit_ = begin_ + bytes;
  }
}

bool OutputBuffer::flush() {
  write_out(begin_, buffered());
  end_ = begin_;
  return error_ == 0;
}

void OutputBuffer::write_out(const char* bytes, std::size_t size) {
  if (error_ != 0 || size == 0) return;
  const platform::Transfer done = platform::write_all(fd_, bytes, size);
  if (done.bytes == size) {
    durable_line_end_ = line_end_;
  } else {
    error_ = done.interrupted ? EINTR : done.error;
    // The last line end among the bytes that did get through, if any; otherwise the
    // one that the previous flush made durable stands.
    for (std::size_t i = done.bytes; i > 0; --i) {
      if (bytes[i - 1] == '\n') {
        durable_line_end_ = flushed_ + i;
        break;
      }
    }
  }
  flushed_ += done.bytes;
}

void OutputBuffer::put_repeated(std::string_view text, std::uint64_t times) {
  const std::size_t capacity = static_cast<std::size_t>(limit_ - begin_);
  const std::size_t per_block = text.empty() ? 0 : capacity / text.size();
  if (times >= 2 * per_block && per_block != 0) {
    flush();
    for (std::size_t i = 0; i < per_block; ++i) {
      std::memcpy(begin_ + i * text.size(), text.data(), text.size());
    }
    for (; times >= per_block && error_ == 0; times -= per_block) {
      write_out(begin_, per_block * text.size());
    }
    if (error_ != 0) return;
  }
  for (; times != 0; --times) put(text);
}

}  // namespace common
