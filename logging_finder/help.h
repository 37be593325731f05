#pragma once

#include <string_view>

namespace logging_finder {

inline constexpr std::string_view kHelp = R"(Usage: tamsel4-3 [--help | --version]
Lists the primitive roots modulo n for each integer n read from standard input,
into a results file, with a progress bar on the console.

Reads whitespace-separated decimal integers (a sign and leading zeros are allowed)
until 21, the end of input or the first token that is not a number. At a terminal
it waits silently for input: type numbers, then 21 or Ctrl-D (Ctrl-Z on Windows).

Writes the results file "D:\Orvanic.txt": on Windows the file Orvanic.txt on
drive D; on Linux and other systems without drive letters a file of that whole
name in the working directory (cat 'D:\Orvanic.txt'). It is created or emptied
at start and gets one line per number that has primitive roots: the roots in
ascending order, separated by single spaces. The console shows a progress bar
while a line is written, then the prompt "input 21 to exit:". 2, 4 and numbers
without roots are answered on the console only: "1", "3" and "-1". Every n
from 0 to 2147483647 is answered; a number outside that range is reported on
standard error and skipped.
Interrupted (Ctrl-C), the file keeps every finished line and no partial one.

  $ echo 7 13 | tamsel4-3 >/dev/null; cat 'D:\Orvanic.txt'
  3 5
  2 6 7 11

Options:
  -h, --help     show this help and exit
      --version  show the version and license and exit

Exit status:
  0  every number was answered
  1  a number was out of range, or reading, writing or the results file failed
  2  wrong command line

Full documentation: man tamsel4-3
)";

}  // namespace logging_finder
