#include "common/messages.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace common {

void report(std::string_view program, std::string_view text) {
  std::string line;
  line.reserve(program.size() + text.size() + 3);
  line.append(program).append(": ").append(text).push_back('\n');
  const char* p = line.data();
  std::size_t left = line.size();
  while (left > 0) {
    ssize_t wrote = ::write(2, p, left);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return;  // nowhere left to complain to
    p += wrote;
    left -= static_cast<std::size_t>(wrote);
  }
}

void report_out_of_range(std::string_view program, std::string_view number) {
  std::string text(number);
  text += " is out of range (0 to 2147483647)";
  report(program, text);
}

void report_errno(std::string_view program, std::string_view what, int error) {
  std::string text(what);
  text += ": ";
  text += std::strerror(error);
  report(program, text);
}

}  // namespace common
