#include "listing/huge_pages.h"

#include <cstring>
#include <new>

#include "platform/memory.h"

namespace listing {

namespace {

// Below this a block comes from the heap and is cleared there: a mapping of its own would
// cost more than the clearing.
constexpr std::size_t kMappedFrom = std::size_t{64} << 10;
constexpr std::size_t kCacheLine = 64;

std::size_t heap_size(std::size_t bytes) {
  return (bytes + kCacheLine - 1) / kCacheLine * kCacheLine;
}

}  // namespace

void* allocate_huge_pages(std::size_t bytes) {
  if (bytes < kMappedFrom) {
    const std::size_t size = heap_size(bytes == 0 ? 1 : bytes);
    void* p = platform::allocate_aligned(size, kCacheLine);
    if (p == nullptr) throw std::bad_alloc();
    return std::memset(p, 0, size);
  }
  // From one huge page up, aligned to them, and only the whole ones advised: a partial
  // last one stays in small pages, so the block takes no more memory than it uses.
  const std::size_t whole = bytes / kHugePageBytes * kHugePageBytes;
  void* p = platform::allocate_zeroed(bytes, whole != 0 ? kHugePageBytes : kCacheLine);
  if (p == nullptr) throw std::bad_alloc();
  if (whole != 0) platform::advise_large_pages(p, whole);
  return p;
}

void release_huge_pages(void* p, std::size_t bytes) {
  if (bytes < kMappedFrom) {
    platform::free_aligned(p);
  } else {
    platform::free_zeroed(p, bytes);
  }
}

}  // namespace listing
