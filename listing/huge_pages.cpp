#include "listing/huge_pages.h"

#include <new>

#include "platform/memory.h"

namespace listing {

void* allocate_huge_pages(std::size_t bytes) {
  constexpr std::size_t kHugePage = kHugePageBytes;
  constexpr std::size_t kCacheLine = 64;
  const bool large = bytes >= 2 * kHugePage;
  const std::size_t alignment = large ? kHugePage : kCacheLine;
  const std::size_t rounded = ((bytes == 0 ? 1 : bytes) + alignment - 1) / alignment * alignment;
  void* p = platform::allocate_aligned(rounded, alignment);
  if (p == nullptr) throw std::bad_alloc();
  if (large) platform::advise_large_pages(p, rounded);
  return p;
}

void release_huge_pages(void* p) { platform::free_aligned(p); }

}  // namespace listing
