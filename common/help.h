#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

// The frame of every program's --help, put together at compile time: the usage line, what
// the program does (its own words), the options, the exit statuses and where the full
// documentation is, each in the terms of the platform the program was built for.
namespace common {

// Text joined from string literals at compile time.
template <std::size_t kSize>
struct HelpText {
  std::array<char, kSize> chars{};
  constexpr std::string_view view() const { return {chars.data(), kSize}; }
};

// The length of a part: a string literal without its final NUL, or a text joined before.
template <class Part>
struct PartLength;
template <std::size_t kSize>
struct PartLength<char[kSize]> {
  static constexpr std::size_t value = kSize - 1;
};
template <std::size_t kSize>
struct PartLength<HelpText<kSize>> {
  static constexpr std::size_t value = kSize;
};

constexpr std::string_view text_of(std::string_view literal) { return literal; }
template <std::size_t kSize>
constexpr std::string_view text_of(const HelpText<kSize>& text) {
  return text.view();
}

template <class... Parts>
constexpr auto join(const Parts&... parts) {
  HelpText<(PartLength<Parts>::value + ... + 0)> text;
  auto at = text.chars.begin();
  ((at = std::copy_n(text_of(parts).data(), PartLength<Parts>::value, at)), ...);
  return text;
}

#ifdef _WIN32
inline constexpr char kEndOfInputKey[] = "Ctrl-Z then Enter";
inline constexpr char kHelpOptions[] =
    "  -h, --help, /?  show this help and exit\n"
    "      --version   show the version and license and exit\n"
    "      --          end of options; no operand may follow\n";
#else
inline constexpr char kEndOfInputKey[] = "Ctrl-D";
inline constexpr char kHelpOptions[] =
    "  -h, --help     show this help and exit\n"
    "      --version  show the version and license and exit\n"
    "      --         end of options; no operand may follow\n";
#endif

// Where the documentation that the platform's package ships with the program is.
template <std::size_t kName>
constexpr auto documentation(const char (&program)[kName]) {
#ifdef _WIN32
  return join("Full documentation: ", program, ".html, beside this program\n");
#else
  return join("Full documentation: man ", program, "\n");
#endif
}

// `about` runs from the line after the usage line to the end of the example, blank line
// included; `failure` is what exit status 1 means, `more_statuses` whole lines of the
// statuses after 2.
template <std::size_t kName, class About, class Failure, class More>
constexpr auto help_text(const char (&program)[kName], const About& about, const Failure& failure,
                         const More& more_statuses) {
  return join("Usage: ", program, " [--help | --version]\n", about, "Options:\n", kHelpOptions,
              "\nExit status:\n  0  every number was answered\n  1  ", failure,
              "\n  2  wrong command line\n", more_statuses, "\n", documentation(program));
}

// The help of a program that prints one answer line per number on standard output.
template <std::size_t kName>
constexpr auto filter_help(const char (&program)[kName]) {
  return help_text(
      program,
      join("Lists the primitive roots modulo n for each integer n read from standard input.\n\n"
           "Reads whitespace-separated decimal integers (a sign and leading zeros are allowed)\n"
           "until the end of input or the first token that is not a number. At a terminal it\n"
           "waits silently for input: type numbers, then ",
           kEndOfInputKey,
           ".\n\n"
           "Prints one line per number on standard output: its primitive roots in ascending\n"
           "order, separated by single spaces; \"1\" for 2, \"3\" for 4, and \"-1\" for a number\n"
           "that has none. Every n from 0 to 2147483647 is answered; a number outside that\n"
           "range is reported on standard error and skipped.\n\n",
#ifdef _WIN32
           "For example, echo 7 8 | ", program, " prints the lines \"3 5\" and \"-1\".\n\n"),
#else
           "  $ echo 7 8 | ", program, "\n  3 5\n  -1\n\n"),
#endif
      join("a number was out of range, or reading or writing failed"), join(""));
}

}  // namespace common
