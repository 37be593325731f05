#include "common/build_after.h"

#include <new>

namespace common {

void BuildAfter::build_once() {
  last_covered_ = -1;
  try {
    build_();
  } catch (const std::bad_alloc&) {
    // Every number is answered without the tables as well, only a little slower.
  }
}

}  // namespace common
