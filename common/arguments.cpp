#include "common/arguments.h"

#include <cstdlib>
#include <string>

#include "common/exit_status.h"
#include "common/messages.h"
#include "platform/arguments.h"
#include "platform/streams.h"

#ifndef TAMSEL_VERSION
#error "TAMSEL_VERSION must come from the build (the project's version)"
#endif

namespace common {

namespace {

// The help asked for as the platform's own programs are asked for it.
#ifdef _WIN32
constexpr bool kSlashQuestionMark = true;
#else
constexpr bool kSlashQuestionMark = false;
#endif

bool asks_for_help(std::string_view arg) {
  return arg == "--help" || arg == "-h" || (kSlashQuestionMark && arg == "/?");
}

// Writes all of `text` to `fd`; the errno-style code of the failure, or 0.
int write_all(int fd, std::string_view text) { return platform::write_all(fd, text).error; }

// The argument as it can be shown safely: a control byte (an escape sequence would
// recolour or move the terminal) as a C escape, or as three octal digits where C has none;
// every other byte, UTF-8 included, as given.
std::string shown(std::string_view arg) {
  std::string text;
  text.reserve(arg.size());
  for (const char c : arg) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
      text.push_back(c);
    } else if (c == '\n' || c == '\t' || c == '\r') {
      text.append(c == '\n' ? "\\n" : c == '\t' ? "\\t" : "\\r");
    } else {
      const char octal[] = {'\\', static_cast<char>('0' + (byte >> 6)),
                            static_cast<char>('0' + ((byte >> 3) & 7)),
                            static_cast<char>('0' + (byte & 7))};
      text.append(octal, sizeof octal);
    }
  }
  return text;
}

[[noreturn]] void answer_and_exit(std::string_view program, std::string_view text) {
  if (const int error = write_all(1, text); error != 0) {
    report_errno(program, "write error", error);
    std::exit(kFailure);
  }
  std::exit(kSuccess);
}

}  // namespace

void handle_arguments(std::string_view program, std::string_view help, int main_argc,
                      const char* const* main_argv) {
  const auto [argc, argv] = platform::arguments_as_utf8(main_argc, main_argv);
  if (argc <= 1) return;

  // Any stray argument makes the whole command line wrong, even beside --help. "--" ends
  // the options; as the programs take no operands, nothing may follow it.
  std::string_view first_option;
  bool options_ended = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--" && !options_ended) {
      options_ended = true;
      continue;
    }
    if (options_ended || (!asks_for_help(arg) && arg != "--version")) {
      std::string message(program);
      message.append(": unexpected argument '").append(shown(arg)).append("'\nTry '");
      message.append(program).append(" --help'.\n");
      write_all(2, message);
      std::exit(kUsageError);
    }
    if (first_option.empty()) first_option = arg;
  }

  if (first_option.empty()) return;  // "--" alone
  if (first_option == "--version") {
    std::string text(program);
    text.append(" " TAMSEL_VERSION "\n");
    text.append(
        "Copyright (c) 2026 the tamsel authors. MIT License: free to use, copy, "
        "modify and share; no warranty.\n");
    answer_and_exit(program, text);
  }
  answer_and_exit(program, help);
}

}  // namespace common
