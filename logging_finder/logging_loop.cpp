#include "logging_finder/logging_loop.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "common/answer_loop.h"
#include "common/ascending_decimal.h"
#include "common/messages.h"
#include "common/output_buffer.h"
#include "common/root_bitmap.h"
#include "core/root_listing.h"
#include "core/root_search.h"
#include "core/tables.h"
#include "logging_finder/progress.h"

namespace {

constexpr const char* kProgram = "tamsel4-3";
constexpr std::int32_t kExitNumber = 21;

// The results file: each failure to open, write or close it is told once, and the run
// then ends with status 1 because lists were lost.
class ResultsFile {
 public:
  explicit ResultsFile(const char* path) : path_(path) {
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
      fail("cannot open", errno);
    } else {
      buffer_ = std::make_unique<common::OutputBuffer>(fd);
    }
  }
  ~ResultsFile() { close(); }
  ResultsFile(const ResultsFile&) = delete;
  ResultsFile& operator=(const ResultsFile&) = delete;

  // Null when the file could not be opened or has failed: the lists are then dropped.
  common::OutputBuffer* buffer() { return failed_ ? nullptr : buffer_.get(); }

  // Pushes buffered lists to the file now; reports a failure found on the way.
  void flush() {
    if (!failed_ && !buffer_->flush()) fail("cannot write", buffer_->error());
  }

  // Reports a write that failed while the buffer made room, without writing more.
  void check() {
    if (!failed_ && buffer_->error() != 0) fail("cannot write", buffer_->error());
  }

  void close() {
    if (!buffer_) return;
    flush();
    if (::close(buffer_->fd()) != 0 && !failed_) fail("cannot close", errno);
    buffer_.reset();
  }

  bool failed() const { return failed_; }

 private:
  void fail(const char* what, int error) {
    failed_ = true;
    common::report_errno(kProgram, std::string(what) + " " + path_, error);
  }

  std::string path_;
  std::unique_ptr<common::OutputBuffer> buffer_;
  bool failed_ = false;
};

// One list: a frame on the console and the root in the file, per root. Frames repeat
// until the percentage moves, so a long list costs a copy per root, not a format.
void write_list(const core::RootPlan& plan, const common::RootBitmap& roots,
                logging_finder::ProgressFrames& frames, common::OutputBuffer& console,
                common::OutputBuffer* results, bool at_terminal) {
  const std::uint64_t m = plan.count;
  frames.start(m);
  common::AscendingDecimal decimal;
  std::uint64_t i = 0;
  common::for_each_root(roots, [&](std::uint32_t root) {
    const bool changed = frames.next();
    // Frames are at most 56 bytes; copying the whole 64-byte frame buffer is cheaper
    // than a copy of the exact length, and the excess is overwritten next.
    const std::string_view frame = frames.frame();
    char* p = console.reserve(logging_finder::ProgressFrames::kFrameCapacity);
    std::memcpy(p, frame.data(), logging_finder::ProgressFrames::kFrameCapacity);
    console.commit(p + frame.size());
    // Someone watching a terminal should see the bar move; anywhere else the frames
    // go out in large blocks (the bytes are the same).
    if (changed && at_terminal) console.flush();

    if (results != nullptr) {
      char* q = results->reserve(common::OutputBuffer::kSlack);
      q = decimal.write(q, root);
      *q++ = ++i == m ? '\n' : ' ';
      results->commit(q);
    }
  });
}

}  // namespace

int run_logging_finder(int input_fd, int console_fd, const char* results_path) {
  // The file comes first, so that it is empty (or reported) before any work starts.
  ResultsFile results(results_path);
  // Built once per process: tests and fuzzers run the loop many times in-process.
  static const bool tables_built = (core::get_primesAndEulers(), true);
  static_cast<void>(tables_built);

  const bool at_terminal = ::isatty(console_fd) == 1;
  common::OutputBuffer console(console_fd);
  logging_finder::ProgressFrames frames;
  core::RootPlan plan;
  common::RootBitmap roots;  // kept between numbers: no bitmap allocation per number

  const int status = common::run_answer_loop(kProgram, input_fd, console, [&](std::int32_t n) {
    if (n == kExitNumber) return common::After::stop;
    if (n == 2) {
      console.put("1\n");
    } else if (n == 4) {
      console.put("3\n");
    } else if (!core::judge(n)) {
      console.put("-1\n");
    } else {
      // The number reached the root search, so the prompt follows either answer.
      if (!core::plan_roots(n, plan)) {
        console.put("-1\n");
      } else {
        core::mark_roots(plan, roots);
        write_list(plan, roots, frames, console, results.buffer(), at_terminal);
        results.check();
        console.put('\n');
      }
      console.put("input 21 to exit:\n");
      if (at_terminal) {
        // A person at the prompt can look at the file and see this list in it.
        results.flush();
        console.flush();
      }
    }
    return common::After::next_number;
  });

  results.close();
  if (status == common::kBrokenPipe) return status;
  return results.failed() ? common::kFailure : status;
}
