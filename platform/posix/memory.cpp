#include "platform/memory.h"

#include <cstdlib>

#ifdef TAMSEL_HAVE_MADV_HUGEPAGE
#include <sys/mman.h>
#endif

namespace platform {

void* allocate_aligned(std::size_t bytes, std::size_t alignment) {
  return std::aligned_alloc(alignment, bytes);
}

void free_aligned(void* p) { std::free(p); }

void advise_large_pages([[maybe_unused]] void* p, [[maybe_unused]] std::size_t bytes) {
#ifdef TAMSEL_HAVE_MADV_HUGEPAGE
  ::madvise(p, bytes, MADV_HUGEPAGE);
#endif
}

}  // namespace platform
