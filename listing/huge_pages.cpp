#include "listing/huge_pages.h"

#include <sys/mman.h>

#include <new>

namespace listing {

void* allocate_huge_pages(std::size_t bytes) {
  constexpr std::size_t kHugePage = std::size_t{2} << 20;
  if (bytes < 2 * kHugePage) {
    if (void* p = std::malloc(bytes == 0 ? 1 : bytes)) return p;
    throw std::bad_alloc();
  }
  const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  void* p = std::aligned_alloc(kHugePage, rounded);
  if (p == nullptr) throw std::bad_alloc();
  ::madvise(p, rounded, MADV_HUGEPAGE);  // advice only: failure costs speed, not results
  return p;
}

}  // namespace listing
