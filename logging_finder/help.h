#pragma once

#include <string_view>

#include "common/help.h"

namespace logging_finder {

inline constexpr auto kHelpText = common::help_text(
    "tamsel4-3",
    common::join(
        "Lists the primitive roots modulo n for each integer n read from standard input,\n"
        "into a results file, with a progress bar on the console.\n\n"
        "Reads whitespace-separated decimal integers (a sign and leading zeros are allowed)\n"
        "until 21, the end of input or the first token that is not a number. At a terminal\n"
        "it waits silently for input: type numbers, then 21 or ",
        common::kEndOfInputKey, ".\n\n",
#ifdef _WIN32
        "Writes the results file D:\\Orvanic.txt, the file Orvanic.txt on drive D.\n",
#else
        "Writes the results file \"D:\\Orvanic.txt\": without drive letters, a file of that\n"
        "whole name in the working directory (cat 'D:\\Orvanic.txt').\n",
#endif
        "It is created or emptied at start and gets one line per number that has\n"
        "primitive roots: the roots in ascending order, separated by single spaces. The\n"
        "console shows a progress bar while a line is written, then the prompt \"input 21\n"
        "to exit:\". 2, 4 and numbers without roots are answered on the console only:\n"
        "\"1\", \"3\" and \"-1\". Every n from 0 to 2147483647 is answered; a number outside\n"
        "that range is reported on standard error and skipped.\n"
        "Interrupted (Ctrl-C), the file keeps every finished line and no partial one.\n\n",
#ifdef _WIN32
        "For example, after echo 7 13 | tamsel4-3, type D:\\Orvanic.txt shows:\n"
#else
        "  $ echo 7 13 | tamsel4-3 >/dev/null; cat 'D:\\Orvanic.txt'\n"
#endif
        "  3 5\n  2 6 7 11\n\n"),
    common::join("a number was out of range, or reading, writing or the results file failed"),
    common::join("  70 internal error: a list came out wrong (a fault of the program)\n"));
inline constexpr std::string_view kHelp = kHelpText.view();

}  // namespace logging_finder
