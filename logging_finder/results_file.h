#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/output_buffer.h"

namespace logging_finder {

// The results file, created or emptied when constructed, and held by this run alone until
// it is closed. Each failure to open, write or close it is told once on standard error;
// the run then ends with status 1 because lists were lost. Whatever happens, the file
// holds whole lists only: one cut short by a failed write or an interrupt is taken out.
class ResultsFile {
 public:
  // Where a list begins: bytes already in the file and bytes still buffered.
  struct Mark {
    std::uint64_t flushed = 0;
    std::size_t buffered = 0;
  };

  explicit ResultsFile(const char* path);
  ~ResultsFile() { close(); }
  ResultsFile(const ResultsFile&) = delete;
  ResultsFile& operator=(const ResultsFile&) = delete;

  // The file was left alone because using it would destroy data: another run holds it,
  // or it is this program's own standard input, output or error (reported). The run must
  // not start.
  bool refused() const { return refused_; }

  // Null when the file could not be opened or has failed: the lists are then dropped.
  common::OutputBuffer* buffer() { return failed_ ? nullptr : buffer_.get(); }

  // Call after the line end of each list.
  void end_list() {
    if (!failed_) buffer_->note_line_end();
  }

  // Pushes buffered lists to the file now; reports a failure found on the way.
  void flush();

  // Reports a write that failed while the buffer made room, without writing more.
  void check();

  // The current end of the lists, to pass to take_back().
  Mark mark() const;

  // Removes everything written after `mark` (an unfinished list): from the buffer and,
  // when part of it has already been flushed, from the file, which is cut back to the
  // mark. A file that cannot be cut (a FIFO, pipe or device rather than a regular file)
  // keeps that part, unended by a newline; this is reported, also when an interrupt is
  // ending the run.
  void take_back(const Mark& mark);

  // Flushes and closes the file; reports a failure. Later calls do nothing.
  void close();

  bool failed() const { return failed_; }

 private:
  // Cuts the file back to `size` bytes when more than that got out, or may have (after a
  // failed write); reports what is left when it cannot.
  void cut_back_to(std::uint64_t size, bool after_failed_write = false);
  void fail(const char* what, int error);
  void refuse(const char* why);

  std::string path_;
  std::unique_ptr<common::OutputBuffer> buffer_;
  bool failed_ = false;
  bool refused_ = false;
};

}  // namespace logging_finder
