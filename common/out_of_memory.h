#pragma once

#include <cstddef>
#include <new>
#include <string_view>

namespace common {

// The tables a run builds could not be allocated. That is no error: the run goes on
// without them (see build_after.h).
class OutOfMemory : public std::bad_alloc {
 public:
  const char* what() const noexcept override { return "not enough memory"; }
};

// Reports "PROGRAM: not enough memory" on standard error and returns the failure status,
// allocating nothing. For every std::bad_alloc that reaches main: nothing is left to
// answer with then.
int report_out_of_memory(std::string_view program);

// Whether `bytes` can be allocated now, asked without throwing. A run calls it with what
// its buffers take before it allocates them: in a process that barely started, the C++
// runtime may have found no room for its reserve for exceptions either, and a
// std::bad_alloc thrown then ends the process before any handler sees it.
bool room_to_start(std::size_t bytes);

}  // namespace common
