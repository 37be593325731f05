#pragma once

#include <cstddef>

namespace listing {

inline constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

// Memory for at least `bytes` bytes, to be released with release_huge_pages(). Blocks of
// several huge pages are aligned to them and advised to use them; throws std::bad_alloc.
void* allocate_huge_pages(std::size_t bytes);
void release_huge_pages(void* p);

// Large bitmaps are marked at random places; backing them with huge pages spares most
// of the address-translation misses that would otherwise dominate.
template <class T>
struct HugePageAllocator {
  using value_type = T;
  HugePageAllocator() = default;
  template <class U>
  HugePageAllocator(const HugePageAllocator<U>&) {}
  T* allocate(std::size_t count) { return static_cast<T*>(allocate_huge_pages(count * sizeof(T))); }
  void deallocate(T* p, std::size_t) { release_huge_pages(p); }
  template <class U>
  bool operator==(const HugePageAllocator<U>&) const {
    return true;
  }
};

}  // namespace listing
