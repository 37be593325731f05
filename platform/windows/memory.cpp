#include "platform/memory.h"

#include <malloc.h>

namespace platform {

void* allocate_aligned(std::size_t bytes, std::size_t alignment) {
  return ::_aligned_malloc(bytes, alignment);
}

void free_aligned(void* p) { ::_aligned_free(p); }

// Large pages need a privilege that ordinary users lack; no hint is given.
void advise_large_pages(void*, std::size_t) {}

}  // namespace platform
