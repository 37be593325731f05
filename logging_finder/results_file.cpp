#include "logging_finder/results_file.h"

#include <cerrno>

#include "common/messages.h"
#include "logging_finder/program.h"
#include "platform/interrupts.h"
#include "platform/results_file.h"

namespace logging_finder {

ResultsFile::ResultsFile(const char* path) : path_(path) {
  const platform::OwnedFile file = platform::open_owned_file(path);
  switch (file.outcome) {
    case platform::OwnedFile::opened:
      buffer_ = std::make_unique<common::OutputBuffer>(file.fd);
      return;
    case platform::OwnedFile::cannot_open:
      fail("cannot open", file.error);
      return;
    case platform::OwnedFile::in_use:
      refuse(platform::kHeldElsewhere);
      return;
    case platform::OwnedFile::is_input:
      refuse(" is also standard input");
      return;
    case platform::OwnedFile::is_output:
      refuse(" is also standard output");
      return;
    case platform::OwnedFile::is_error:
      refuse(" is also standard error");
      return;
    case platform::OwnedFile::no_drive:
    case platform::OwnedFile::drive_not_ready: {
      // Windows names no remedy; the user needs one (subst makes a folder a drive).
      failed_ = true;
      const std::string drive = path_.substr(0, 2);
      common::report(kProgram, "cannot open " + path_ +
                                   (file.outcome == platform::OwnedFile::no_drive
                                        ? ": there is no drive " + drive + " (subst " + drive +
                                              " C:\\some\\folder makes one)"
                                        : ": drive " + drive + " is not ready (insert its disc," +
                                              " or use a folder: see subst in docs\\windows.md)"));
      return;
    }
    case platform::OwnedFile::interrupted:
      failed_ = true;  // the program ends by the interrupt, which says enough
      return;
  }
}

void ResultsFile::flush() {
  if (!failed_) buffer_->flush();
  check();
}

void ResultsFile::check() {
  if (failed_ || buffer_->error() == 0) return;
  const int error = buffer_->error();
  // An interrupt gave up on a stalled reader: the program ends by it, quietly.
  if (error != EINTR || platform::caught_interrupt() == 0) fail("cannot write", error);
  failed_ = true;
  // Whatever got out of a list cut short is taken back where the file allows it. Cut
  // even when the write is said to have written nothing: a runtime may say so of a
  // write that failed after part of it reached the disk (MinGW's on a full drive).
  cut_back_to(buffer_->durable_line_end(), /*after_failed_write=*/true);
}

void ResultsFile::cut_back_to(std::uint64_t size, bool after_failed_write) {
  const bool part_got_out = buffer_->flushed() != size;
  if (!part_got_out && !after_failed_write) return;
  const int error = platform::cut_back(buffer_->fd(), size);
  if (error == ESPIPE) {
    if (!part_got_out) return;  // not a file, and nothing of the list is known to be out
    failed_ = true;
    // Told even when an interrupt ends the run: whoever reads the other end gets a list
    // cut off at its end and must know that it is not whole.
    common::report(kProgram, path_ +
                                 " holds part of an unfinished list: it is not a regular file, "
                                 "so it cannot be cut back");
  } else if (error != 0) {
    fail("cannot remove the unfinished list from", error);
  }
}

ResultsFile::Mark ResultsFile::mark() const {
  if (!buffer_) return {};
  return {buffer_->flushed(), buffer_->buffered()};
}

void ResultsFile::take_back(const Mark& mark) {
  if (failed_) return;  // already cut back to its last whole list
  if (buffer_->flushed() == mark.flushed) {
    buffer_->drop_after(mark.buffered);
    return;
  }
  // Everything buffered now came after the mark.
  buffer_->drop_after(0);
  cut_back_to(mark.flushed + mark.buffered);
}

void ResultsFile::close() {
  if (!buffer_) return;
  flush();
  if (const int error = platform::close_file(buffer_->fd()); error != 0 && !failed_) {
    fail("cannot close", error);
  }
  buffer_.reset();
}

void ResultsFile::fail(const char* what, int error) {
  failed_ = true;
  common::report_errno(kProgram, std::string(what) + " " + path_, error);
}

void ResultsFile::refuse(const char* why) {
  failed_ = refused_ = true;
  common::report(kProgram, path_ + why);
}

}  // namespace logging_finder
