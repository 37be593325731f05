#include "logging_finder/results_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "common/messages.h"
#include "logging_finder/program.h"

namespace logging_finder {

ResultsFile::ResultsFile(const char* path) : path_(path) {
  const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    fail("cannot open", errno);
  } else {
    buffer_ = std::make_unique<common::OutputBuffer>(fd);
  }
}

void ResultsFile::flush() {
  if (!failed_ && !buffer_->flush()) fail("cannot write", buffer_->error());
}

void ResultsFile::check() {
  if (!failed_ && buffer_->error() != 0) fail("cannot write", buffer_->error());
}

ResultsFile::Mark ResultsFile::mark() const {
  if (!buffer_) return {};
  return {buffer_->flushed(), buffer_->buffered()};
}

void ResultsFile::take_back(const Mark& mark) {
  if (failed_) return;  // already reported; the file's end is unknown
  if (buffer_->flushed() == mark.flushed) {
    buffer_->drop_after(mark.buffered);
    return;
  }
  // Everything buffered now came after the mark.
  buffer_->drop_after(0);
  const auto end = static_cast<off_t>(mark.flushed + mark.buffered);
  if (::ftruncate(buffer_->fd(), end) != 0) {
    fail("cannot remove the unfinished list from", errno);
  } else {
    ::lseek(buffer_->fd(), end, SEEK_SET);
  }
}

void ResultsFile::close() {
  if (!buffer_) return;
  flush();
  if (::close(buffer_->fd()) != 0 && !failed_) fail("cannot close", errno);
  buffer_.reset();
}

void ResultsFile::fail(const char* what, int error) {
  failed_ = true;
  common::report_errno(kProgram, std::string(what) + " " + path_, error);
}

}  // namespace logging_finder
