#include "common/messages.h"

#include <string>
#include <utility>

#include "platform/streams.h"

namespace common {

namespace {

MessageGathering* gathering = nullptr;
std::function<void()> before_message;
constexpr std::size_t kGatheredLimit = std::size_t{1} << 16;

}  // namespace

void report(std::string_view program, std::string_view text) {
  if (before_message) before_message();
  if (gathering != nullptr) {
    std::string& all = gathering->text_;
    all.append(program).append(": ").append(text).push_back('\n');
    if (all.size() >= kGatheredLimit) flush_messages();
    return;
  }
  std::string line;
  line.reserve(program.size() + text.size() + 3);
  line.append(program).append(": ").append(text).push_back('\n');
  platform::write_all(2, line);  // if that fails, there is nowhere left to complain to
}

void before_each_message(std::function<void()> hook) { before_message = std::move(hook); }

void flush_messages() {
  if (gathering == nullptr || gathering->text_.empty()) return;
  platform::write_all(2, gathering->text_);
  gathering->text_.clear();
}

void MessageGathering::start() { gathering = this; }

MessageGathering::~MessageGathering() {
  if (gathering != this) return;
  flush_messages();
  gathering = nullptr;
}

void report_out_of_range(std::string_view program, std::string_view number) {
  std::string text(number);
  text += " is out of range (0 to 2147483647)";
  report(program, text);
}

void report_errno(std::string_view program, std::string_view what, int error) {
  std::string text(what);
  text += ": ";
  text += platform::error_text(error);
  report(program, text);
}

}  // namespace common
