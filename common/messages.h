#pragma once

#include <string_view>

namespace common {

// Writes "program: text" and a newline to standard error in one piece.
void report(std::string_view program, std::string_view text);

// The message for a number the programs do not answer.
void report_out_of_range(std::string_view program, std::string_view number);

// "what: reason" with the reason spelled out from errno.
void report_errno(std::string_view program, std::string_view what, int error);

}  // namespace common
