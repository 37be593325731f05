#pragma once

#include <string_view>

namespace console_finder {

inline constexpr std::string_view kHelp = R"(Usage: tamsel4-2 [--help | --version]
Lists the primitive roots modulo n for each integer n read from standard input.

Reads whitespace-separated decimal integers (a sign and leading zeros are allowed)
until the end of input or the first token that is not a number. At a terminal it
waits silently for input: type numbers, then Ctrl-D.

Prints one line per number on standard output: its primitive roots in ascending
order, separated by single spaces; "1" for 2, "3" for 4, and "-1" for a number
that has none. Every n from 0 to 2147483647 is answered; a number outside that
range is reported on standard error and skipped.

  $ echo 7 8 | tamsel4-2
  3 5
  -1

Options:
  -h, --help     show this help and exit
      --version  show the version and license and exit

Exit status:
  0  every number was answered
  1  a number was out of range, or reading or writing failed
  2  wrong command line

Full documentation: man tamsel4-2
)";

}  // namespace console_finder
