#pragma once

#include <cstdint>
#include <new>
#include <string_view>

#include "common/answer_loop.h"
#include "common/arguments.h"
#include "common/build_after.h"
#include "common/out_of_memory.h"
#include "common/output_buffer.h"
#include "platform/streams.h"

namespace common {

// The whole of a program that answers every number read from standard input with one
// line on standard output, written by `answer_line(n, out)`; its main() returns this.
// A template, so that each number costs one indirect call, as in any answer loop.
// What a filter allocates as it starts, with room to spare: its output and input buffers.
inline constexpr std::size_t kStartRoom = std::size_t{512} << 10;

template <class AnswerLine>
int run_filter(std::string_view program, std::string_view help, const OnDemandTables& tables,
               int argc, const char* const* argv, AnswerLine&& answer_line) {
  try {
    handle_arguments(program, help, argc, argv);
    if (!room_to_start(kStartRoom)) return report_out_of_memory(program);
    platform::prepare_standard_streams();
    OutputBuffer out(1);
    const auto answer = [&](std::int32_t n) {
      answer_line(n, out);
      return After::next_number;
    };
    return end_run(run_answer_loop(program, 0, out, answer, &tables));
  } catch (const std::bad_alloc&) {
    // A buffer (or a message's text) did not fit: the run cannot go on without it.
    return report_out_of_memory(program);
  }
}

}  // namespace common
