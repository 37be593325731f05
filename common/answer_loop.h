#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "common/number_reader.h"
#include "common/output_buffer.h"

namespace common {

enum class After { next_number, stop };

// Exit statuses shared by the programs.
inline constexpr int kSuccess = 0;
inline constexpr int kFailure = 1;
// Standard output went to a reader that has gone away; see platform::end_by_broken_pipe().
inline constexpr int kBrokenPipe = -1;

// The read-and-answer loop of every program: reads numbers from `input_fd` until it
// ends or holds something that is not a number, and hands each number in 0 .. 2147483647
// to `answer`, which writes to `out` (and may stop the loop). A number out of range, a
// read error, a failed write to `out` or a failed allocation (which ends the loop) is
// reported on standard error under `program`. Once the program has caught an interrupt
// the loop ends too, even while waiting for input, and a write it gave up is not reported.
// Once a write to `out` has failed no further number is answered, unless `out` does not
// carry the answers (a console that only shows progress) and its reader is still there.
// Returns kSuccess, kFailure or kBrokenPipe; `out` is flushed on return.
int run_answer_loop(std::string_view program, int input_fd, OutputBuffer& out,
                    const std::function<After(std::int32_t)>& answer, bool out_has_answers = true);

}  // namespace common
