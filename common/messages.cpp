#include "common/messages.h"

#include <string>

#include "platform/streams.h"

namespace common {

namespace {

bool gathering = false;
constexpr std::size_t kGatheredLimit = std::size_t{1} << 16;

std::string& gathered() {
  static std::string text;
  return text;
}

}  // namespace

void report(std::string_view program, std::string_view text) {
  if (gathering) {
    std::string& all = gathered();
    all.append(program).append(": ").append(text).push_back('\n');
    if (all.size() >= kGatheredLimit) flush_messages();
    return;
  }
  std::string line;
  line.reserve(program.size() + text.size() + 3);
  line.append(program).append(": ").append(text).push_back('\n');
  platform::write_all(2, line);  // if that fails, there is nowhere left to complain to
}

void flush_messages() {
  std::string& all = gathered();
  if (all.empty()) return;
  platform::write_all(2, all);
  all.clear();
}

MessageGathering::MessageGathering(bool gather) : gather_(gather) {
  if (gather_) gathering = true;
}

MessageGathering::~MessageGathering() {
  if (!gather_) return;
  flush_messages();
  gathering = false;
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
