#pragma once

#include <string_view>

namespace common {

// The programs take no arguments for their work. The first thing each main() does is
// hand its command line here: with no arguments, or "--" alone (which ends the options),
// this returns and the run goes on; otherwise the process ends here, before anything is
// read, opened or built:
//   --help or -h  `help` on standard output, status 0 (on Windows /? as well)
//   --version     "PROGRAM VERSION" and the license line on standard output, status 0
//   anything else, and anything after "--": "PROGRAM: unexpected argument 'ARG'" and
//                 "Try 'PROGRAM --help'." on standard error, status 2
// A failed write of the help or version text is reported with status 1.
void handle_arguments(std::string_view program, std::string_view help, int argc,
                      const char* const* argv);

}  // namespace common
