#include "logging_finder/logging_loop.h"

#include <unistd.h>

#include <cstring>

#include "common/answer_loop.h"
#include "common/ascending_decimal.h"
#include "common/output_buffer.h"
#include "core/answer.h"
#include "core/table_policy.h"
#include "logging_finder/program.h"
#include "logging_finder/progress.h"

namespace logging_finder {

namespace {

// One list: a frame on the console and the root in the file, per root. Frames repeat
// until the percentage moves, so a long list costs a copy per root, not a format.
void write_list(const core::RootPlan& plan, const listing::RootBitmap& roots,
                ProgressFrames& frames, common::OutputBuffer& console,
                common::OutputBuffer* results, bool at_terminal) {
  const std::uint64_t m = plan.count;
  frames.start(m);
  common::AscendingDecimal decimal;
  std::uint64_t i = 0;
  listing::for_each_root(roots, [&](std::uint32_t root) {
    const bool changed = frames.next();
    // Frames are at most 56 bytes; copying the whole 64-byte frame buffer is cheaper
    // than a copy of the exact length, and the excess is overwritten next.
    const std::string_view frame = frames.frame();
    char* p = console.reserve(ProgressFrames::kFrameCapacity);
    std::memcpy(p, frame.data(), ProgressFrames::kFrameCapacity);
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

int run_logging_loop(int input_fd, int console_fd, ResultsFile& results) {
  const bool at_terminal = ::isatty(console_fd) == 1;
  common::OutputBuffer console(console_fd);
  ProgressFrames frames;
  core::RootPlan plan;
  listing::RootBitmap roots;  // kept between numbers: no bitmap allocation per number

  const int status = common::run_answer_loop(kProgram, input_fd, console, [&](std::int32_t n) {
    if (n == kExitNumber) return common::After::stop;
    core::count_toward_tables(n);
    const core::Verdict verdict = core::classify(n, plan);
    if (verdict == core::Verdict::roots) {
      core::mark_roots(plan, roots);
      write_list(plan, roots, frames, console, results.buffer(), at_terminal);
      results.check();
      console.put('\n');
    } else {
      console.put(core::fixed_answer(verdict));
    }
    if (core::reached_search(verdict)) {
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

}  // namespace logging_finder
