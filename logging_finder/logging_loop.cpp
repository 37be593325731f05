#include "logging_finder/logging_loop.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#include "common/answer_loop.h"
#include "common/messages.h"
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
// gone away, is noticed once per 64 residues; the list then stops unfinished. A list whose
// count is not the m expected is written no further than m roots, and counted to its end.
struct Listed {
  bool stopped = false;     // by an interrupt or the console's reader gone
  std::uint64_t roots = 0;  // how many the bitmap holds, when not stopped
};

template <bool kAtTerminal>
Listed write_list(std::uint64_t m, const listing::RootBitmap& roots, ProgressFrames& frames,
                  common::OutputBuffer& console, common::OutputBuffer* results) {
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
  const std::size_t count = roots.words().size();
  const std::uint64_t* const words = roots.words().data();
  bool stopped = false;
  for (std::size_t w = 0; w < count; ++w) {
    if (platform::caught_interrupt() != 0 || platform::is_broken_pipe(console.error())) {
      stopped = true;
      break;
    }
    const std::uint64_t bits = words[w];
    if (bits == 0) continue;
    const auto in_word = static_cast<unsigned>(std::popcount(bits));
    if (in_word > m - i) {
      i = roots.count();
      break;
    }
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
  // An interrupt that comes after the last root, line end included, leaves the list whole.
  return {stopped && i != m, i};
}

// A list that disagrees with its plan is a fault of the kernel, not of the run: told as
// such, and never taken for an interrupt.
void report_miscount(std::int32_t n, std::uint64_t listed, std::uint64_t expected) {
  common::report(kProgram, "internal error: " + std::to_string(n) + ": the list has " +
                               std::to_string(listed) + " roots, expected " +
                               std::to_string(expected));
}

}  // namespace

common::Outcome run_logging_loop(int input_fd, int console_fd, ResultsFile& results,
                                 CountSkew skew) {
  const bool at_terminal = platform::is_terminal(console_fd);
  common::OutputBuffer console(console_fd);
  ProgressFrames frames;
  core::RootPlan plan;
  listing::RootBitmap roots;  // kept between numbers: no bitmap allocation per number
  bool miscounted = false;
  // At a terminal a message must not continue the bar's line: the line is ended first,
  // once, and the prompt follows the message.
  bool bar_open = false;
  const auto end_bar = [&] {
    if (bar_open) console.put('\n');
    bar_open = false;
  };
  struct BeforeMessages {
    ~BeforeMessages() { common::before_each_message(nullptr); }
  } removed_at_the_end;
  if (at_terminal) {
    common::before_each_message([&] {
      if (!bar_open) return;
      end_bar();
      console.flush();
    });
  }

  common::Outcome outcome = common::run_answer_loop(
      kProgram, input_fd, console,
      [&](std::int32_t n) {
        if (n == kExitNumber) return common::After::stop;
        const core::Verdict verdict = core::classify(n, plan);
        if (verdict == core::Verdict::roots) {
          if (plan.count > common::kLongList && !common::ready_for_long_list()) {
            return common::After::stop;
          }
          // The largest lists take seconds to mark: an interrupt stops that too.
          const listing::StopTest interrupted = [] { return platform::caught_interrupt() != 0; };
          const bool marked = core::mark_roots(plan, roots, interrupted);
          // Unsigned arithmetic: a negative skew wraps to a smaller count, as intended.
          const std::uint64_t expected =
              plan.count + static_cast<std::uint64_t>(n == skew.number ? skew.by : 0);
          const ResultsFile::Mark list_start = results.mark();
          Listed listed{.stopped = true};
          if (marked) {
            bar_open = true;
            listed = at_terminal
                         ? write_list<true>(expected, roots, frames, console, results.buffer())
                         : write_list<false>(expected, roots, frames, console, results.buffer());
          }
          results.check();
          if (listed.stopped || listed.roots != expected) {
            // Interrupted, the console gone or the list wrong: the finished lists are saved
            // before anything else can block.
            results.take_back(list_start);
            results.close();
            if (!listed.stopped) {
              end_bar();
              report_miscount(n, listed.roots, expected);
              miscounted = true;
            } else if (at_terminal) {
              // The shell's prompt starts on a line of its own.
              if (marked) {
                end_bar();
              } else {
                console.put('\n');
              }
            }
            return common::After::stop;
          }
          results.end_list();
          // A person at the prompt can look at the file and see this list in it; a
          // failure to write it is told below the bar, above the prompt.
          if (at_terminal) results.flush();
          end_bar();
        } else {
          console.put(core::fixed_answer(verdict));
        }
        if (core::reached_search(verdict)) {
          console.put("input 21 to exit:\n");
          if (at_terminal) console.flush();
        }
        return common::After::next_number;
      },
      &core::kTablesOnDemand, /*out_has_answers=*/false);

  results.close();
  if (miscounted) {
    outcome.status = common::kInternalError;
  } else if (results.failed() && !outcome.reader_gone) {
    outcome.status = common::kFailure;
  }
  return outcome;
}

}  // namespace logging_finder
