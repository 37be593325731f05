#include "common/out_of_memory.h"

#include <algorithm>
#include <cstdlib>

#include "common/exit_status.h"
#include "platform/streams.h"

namespace common {

int report_out_of_memory(std::string_view program) {
  // On the stack: the heap has just run out.
  constexpr std::string_view kText = ": not enough memory\n";
  char line[64];
  const std::size_t name = std::min(program.size(), sizeof line - kText.size());
  std::copy_n(program.data(), name, line);
  std::copy_n(kText.data(), kText.size(), line + name);
  platform::write_all(2, line, name + kText.size());  // if that fails, the status still tells
  return kFailure;
}

bool room_to_start(std::size_t bytes) {
  // Kept where the compiler must assume it is looked at, so that the allocation is made.
  static void* volatile probe = nullptr;
  probe = std::malloc(bytes);
  if (probe == nullptr) return false;
  std::free(probe);
  probe = nullptr;
  return true;
}

}  // namespace common
