#include "logging_finder/logging_loop.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "common/answer_loop.h"
#include "common/output_buffer.h"
#include "core/answer.h"
#include "core/tables.h"
#include "listing/root_line.h"
#include "logging_finder/program.h"
#include "logging_finder/progress.h"
#include "platform/interrupts.h"
#include "platform/results_file.h"
#include "platform/streams.h"

namespace logging_finder {

namespace {

// One list: a frame on the console and the root in the file, per root. Frames repeat
// until the percentage moves, so a long list counts the roots of a run and writes the
// run's frames from one block of copies, not a format or a copy per root. At a
// terminal only a frame that differs from the one on the screen is written: a repeat
// would not change what a person sees, and the screen cannot keep up with one per root.
// The roots go to the file a bitmap word at a time. An interrupt, or a console whose reader has
// gone away, is noticed once per 64 residues; the list then stops unfinished. True when its last
// root, line end included, was written (an interrupt that comes after that leaves the list whole).
template <bool kAtTerminal>
bool write_list(const core::RootPlan& plan, const listing::RootBitmap& roots,
                ProgressFrames& frames, common::OutputBuffer& console,
                common::OutputBuffer* results) {
  const std::uint64_t m = plan.count;
  frames.start(m);
  listing::RootWordWriter writer;
  std::uint64_t i = 0;
  // Away from a terminal every root's frame is written, and frames repeat for long runs:
  // a run goes out whole when the frame may change and at the end.
  std::uint64_t run = 0;
  const auto end_run = [&] {
    console.put_repeated(frames.frame(), run);
    run = 0;
  };
  const std::size_t count = roots.words.size();
  const std::uint64_t* const words = roots.words.data();
  for (std::size_t w = 0; w < count; ++w) {
    if (platform::caught_interrupt() != 0 || platform::is_broken_pipe(console.error())) break;
    const std::uint64_t bits = words[w];
    if (bits == 0) continue;
    const auto in_word = static_cast<unsigned>(std::popcount(bits));
    if constexpr (kAtTerminal) {
      for (unsigned k = 0; k < in_word; ++k) {
        if (frames.next()) {
          console.put(frames.frame());
          console.flush();  // someone is watching the bar move
        }
      }
    } else {
      for (std::uint64_t left = in_word; left != 0;) {
        const std::uint64_t same = std::min(left, frames.repeats_ahead());
        if (same != 0) {
          frames.skip(same);
          run += same;
          left -= same;
        } else {
          end_run();
          frames.next();
          run = 1;
          --left;
        }
      }
    }
    i += in_word;
    if (results != nullptr) {
      char* q = writer.write(results->reserve(listing::RootWordWriter::kMaxWordBytes), w, bits);
      // The separator after the last root becomes the line end.
      if (i == m) q = std::copy_n(platform::kLineEnd, sizeof platform::kLineEnd - 1, q - 1);
      results->commit(q);
    }
  }
  if (run != 0) end_run();
  return i == m;
}

}  // namespace

common::Outcome run_logging_loop(int input_fd, int console_fd, ResultsFile& results) {
  const bool at_terminal = platform::is_terminal(console_fd);
  common::OutputBuffer console(console_fd);
  ProgressFrames frames;
  core::RootPlan plan;
  listing::RootBitmap roots;  // kept between numbers: no bitmap allocation per number

  common::Outcome outcome = common::run_answer_loop(
      kProgram, input_fd, console,
      [&](std::int32_t n) {
        if (n == kExitNumber) return common::After::stop;
        const core::Verdict verdict = core::classify(n, plan);
        if (verdict == core::Verdict::roots) {
          // The largest lists take seconds to mark: an interrupt stops that too.
          const bool marked =
              core::mark_roots(plan, roots, [] { return platform::caught_interrupt() == 0; });
          const ResultsFile::Mark list_start = results.mark();
          const bool whole =
              marked &&
              (at_terminal ? write_list<true>(plan, roots, frames, console, results.buffer())
                           : write_list<false>(plan, roots, frames, console, results.buffer()));
          results.check();
          if (!whole) {
            // Interrupted, or the console has gone: the finished lists are saved before
            // anything else can block.
            results.take_back(list_start);
            results.close();
            if (at_terminal) console.put('\n');  // the shell's prompt starts on a line of its own
            return common::After::stop;
          }
          results.end_list();
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
      },
      &core::kTablesOnDemand, /*out_has_answers=*/false);

  results.close();
  if (results.failed() && !outcome.reader_gone) outcome.status = common::kFailure;
  return outcome;
}

}  // namespace logging_finder
