#include "common/build_after.h"

#include <new>

namespace common {

void BuildAfter::build_once() {
  last_covered_ = -1;
  try {
    build_();
    built_ = true;
  } catch (const std::bad_alloc&) {
    // Every number is answered without the tables as well, only a little slower.
  }
}

bool BuildAfter::release() {
  if (!built_ || release_ == nullptr) return false;
  release_();
  built_ = false;
  return true;
}

}  // namespace common
