#pragma once

#include <cstddef>
#include <new>
#include <utility>

namespace listing {

inline constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

// `bytes` of zeros, to be released with release_huge_pages() and the same size. Blocks of
// several huge pages are aligned to them and advised to use them; throws std::bad_alloc.
void* allocate_huge_pages(std::size_t bytes);
void release_huge_pages(void* p, std::size_t bytes);

// Large bitmaps are marked at random places; backing them with huge pages spares most
// of the address-translation misses that would otherwise dominate.
template <class T>
struct HugePageAllocator {
  using value_type = T;
  HugePageAllocator() = default;
  template <class U>
  HugePageAllocator(const HugePageAllocator<U>&) {}
  T* allocate(std::size_t count) { return static_cast<T*>(allocate_huge_pages(count * sizeof(T))); }
  void deallocate(T* p, std::size_t count) { release_huge_pages(p, count * sizeof(T)); }
  // New elements are left as the memory holds them: it comes zeroed, and a vector whose
  // owner keeps what lies past its end zero (RootBitmap) then grows without writing.
  template <class U>
  void construct(U* p) {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
  template <class U>
  bool operator==(const HugePageAllocator<U>&) const {
    return true;
  }
};

}  // namespace listing
