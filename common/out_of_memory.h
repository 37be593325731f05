#pragma once

#include <new>
#include <string_view>

namespace common {

// Memory the run itself needs, such as a table it builds, could not be had. Unlike a list
// too long for the memory left, which is reported with its number, this says only
// "PROGRAM: not enough memory".
class OutOfMemory : public std::bad_alloc {
 public:
  const char* what() const noexcept override { return "not enough memory"; }
};

// Reports "PROGRAM: not enough memory" on standard error and returns the failure status.
// For every std::bad_alloc that reaches main: nothing is left to answer with then.
int report_out_of_memory(std::string_view program);

}  // namespace common
