#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace common {

// Writes "program: text" and a newline to standard error in one piece; while messages
// are gathered, into the gathering.
void report(std::string_view program, std::string_view text);

// Once started, and while it lives, messages are gathered and written to standard error
// in pieces (at the latest when it ends, or at flush_messages()), not one write each: for
// a batch whose answers go elsewhere, where the order between the two streams cannot be
// seen. One at a time.
class MessageGathering {
 public:
  MessageGathering() = default;
  ~MessageGathering();
  MessageGathering(const MessageGathering&) = delete;
  MessageGathering& operator=(const MessageGathering&) = delete;

  void start();

 private:
  friend void report(std::string_view, std::string_view);
  friend void flush_messages();
  std::string text_;
};

// Sets what is called before each message (also one that is gathered), or removes it
// (null): a program whose console line is unfinished, a progress bar, ends it there, so
// that the message starts a line of its own.
void before_each_message(std::function<void()> hook);

// Writes out what was gathered so far (before the program waits, for instance).
void flush_messages();

// The message for a number the programs do not answer.
void report_out_of_range(std::string_view program, std::string_view number);

// "what: reason" with the reason spelled out from errno.
void report_errno(std::string_view program, std::string_view what, int error);

}  // namespace common
