#include "common/out_of_memory.h"

#include "common/exit_status.h"
#include "common/messages.h"

namespace common {

int report_out_of_memory(std::string_view program) {
  try {
    report(program, "not enough memory");
  } catch (const std::bad_alloc&) {
    // Not even the message fits; the status still tells.
  }
  return kFailure;
}

}  // namespace common
