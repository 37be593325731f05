#include "common/answer_loop.h"

#include <cerrno>
#include <new>
#include <string>

#include "common/messages.h"
#include "common/number_reader.h"
#include "platform/interrupts.h"
#include "platform/streams.h"

namespace common {

namespace {

// What ready_for_long_list() asks of the loop that runs, if one does.
const std::function<bool()>* long_list_check = nullptr;

}  // namespace

bool ready_for_long_list() { return long_list_check == nullptr || (*long_list_check)(); }

Outcome run_answer_loop(std::string_view program, int input_fd, OutputBuffer& out,
                        const std::function<After(std::int32_t)>& answer,
                        const OnDemandTables* tables, bool out_has_answers) {
  // Where answers and messages meet (2>&1, a terminal) their order shows: the answers so
  // far go out before each message. Elsewhere it cannot be seen, and messages are
  // gathered instead, so that a batch of bad numbers costs about what a good one does.
  // Decided at the first such number: most runs have none.
  enum class Messages { undecided, meet_answers, apart } messages = Messages::undecided;
  MessageGathering gathering;
  // Input is not waited for once the answers cannot get out.
  NumberReader in(input_fd, [&out, out_has_answers] {
    flush_messages();
    return out.flush() || (!out_has_answers && !platform::is_broken_pipe(out.error()));
  });
  // Answers that cannot get out call for no new work; a console that only shows
  // progress may fail while its reader is there, and the answers go on elsewhere.
  const auto answers_cannot_get_out = [&out, out_has_answers] {
    return out.error() != 0 && (platform::is_broken_pipe(out.error()) || out_has_answers);
  };
  const std::function<bool()> before_long_list = [&] {
    flush_messages();
    out.flush();
    return !answers_cannot_get_out();
  };
  long_list_check = &before_long_list;
  struct Unset {
    ~Unset() { long_list_check = nullptr; }
  } unset_at_the_end;
  BuildAfter build = tables != nullptr ? BuildAfter(*tables) : BuildAfter();
  int status = kSuccess;
  for (;;) {
    Token token = in.next();
    if (token.kind == Token::end_of_input || token.kind == Token::not_a_number ||
        token.kind == Token::interrupted) {
      break;
    }
    if (token.kind == Token::read_error) {
      out.flush();
      report_errno(program, "read error", token.error);
      status = kFailure;
      break;
    }
    if (!token.in_range) {
      if (messages == Messages::undecided) {
        messages =
            platform::same_destination(out.fd(), 2) ? Messages::meet_answers : Messages::apart;
        if (messages == Messages::apart) gathering.start();
      }
      if (messages == Messages::meet_answers) out.flush();  // after the answers before it
      report_out_of_range(program, token.text);
      status = kFailure;
      continue;
    }
    // Work whose answer cannot get out is not started.
    if (answers_cannot_get_out()) break;
    const auto n = static_cast<std::int32_t>(token.value);
    build.count(n);
    After after = After::next_number;
    try {
      try {
        after = answer(n);
      } catch (const std::bad_alloc&) {
        // A list fails before any of it is written: without the tables it may fit.
        if (!build.release()) throw;
        after = answer(n);
      }
    } catch (const std::bad_alloc&) {
      // The largest lists need a bitmap of up to 256 MiB; under a tight memory limit
      // say so plainly rather than abort.
      out.flush();
      report(program, std::to_string(token.value) + ": not enough memory to list the roots");
      status = kFailure;
      break;
    }
    if (after == After::stop || out.error() != 0) break;
  }
  out.flush();
  if (platform::is_broken_pipe(out.error()) && platform::broken_pipe_ends_quietly()) {
    return {status, true};
  }
  if (out.error() == EINTR && platform::caught_interrupt() != 0) return {status};
  if (out.error() != 0) {
    report_errno(program, "write error", out.error());
    return {kFailure};
  }
  return {status};
}

int end_run(const Outcome& outcome) {
  if (outcome.reader_gone) platform::end_by_broken_pipe();
  return outcome.status;
}

}  // namespace common
