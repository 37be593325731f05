#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "common/build_after.h"
#include "common/exit_status.h"
#include "common/number_reader.h"
#include "common/output_buffer.h"

namespace common {

enum class After { next_number, stop };

// How a run ended: with an exit status, or with the reader of its output gone, which
// ends the process as a broken pipe ends it (see end_run()).
struct Outcome {
  int status = kSuccess;
  bool reader_gone = false;
};

// The read-and-answer loop of every program: reads numbers from `input_fd` until it
// ends or holds something that is not a number, and hands each number in 0 .. 2147483647
// to `answer`, which writes to `out` (and may stop the loop). Each such number counts
// toward the build of `tables` first, when the program has any. A number out of range, a
// read error, a failed write to `out` or a failed allocation (which ends the loop) is
// reported on standard error under `program`. Once the program has caught an interrupt
// the loop ends too, even while waiting for input, and a write it gave up is not reported.
// Once a write to `out` has failed no further number is answered, unless `out` does not
// carry the answers (a console that only shows progress) and its reader is still there.
// The status is kSuccess or kFailure; `out` is flushed on return.
Outcome run_answer_loop(std::string_view program, int input_fd, OutputBuffer& out,
                        const std::function<After(std::int32_t)>& answer,
                        const OnDemandTables* tables = nullptr, bool out_has_answers = true);

// Lists of more roots than this take long enough that a kill or an interrupt may come
// while they are made.
inline constexpr std::uint64_t kLongList = std::uint64_t{1} << 16;

// For an answer about to make a list of more than kLongList roots: writes out the
// messages gathered and the answers buffered so far, so that a kill during the list
// finds them written, and tells whether the list may start (false once answers cannot
// get out, when that work would be for nothing). True outside run_answer_loop().
bool ready_for_long_list();

// What main() returns for `outcome`; a reader gone ends the process here.
int end_run(const Outcome& outcome);

}  // namespace common
