#pragma once

#include <new>
#include <string_view>

namespace common {

// The tables a run builds could not be allocated. That is no error: the run goes on
// without them (see build_after.h).
class OutOfMemory : public std::bad_alloc {
 public:
  const char* what() const noexcept override { return "not enough memory"; }
};

// Reports "PROGRAM: not enough memory" on standard error and returns the failure status.
// For every std::bad_alloc that reaches main: nothing is left to answer with then.
int report_out_of_memory(std::string_view program);

}  // namespace common
