#include "platform/memory.h"

#include <malloc.h>
#include <windows.h>

#include <cstdint>

namespace platform {

void* allocate_aligned(std::size_t bytes, std::size_t alignment) {
  return ::_aligned_malloc(bytes, alignment);
}

void free_aligned(void* p) { ::_aligned_free(p); }

void* allocate_zeroed(std::size_t bytes, std::size_t alignment) {
  void* p = ::VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (p == nullptr || reinterpret_cast<std::uintptr_t>(p) % alignment == 0) return p;
  // Blocks start at 64 KiB boundaries; for more, find an aligned address in a larger
  // reservation and take the block there (nothing else allocates meanwhile).
  ::VirtualFree(p, 0, MEM_RELEASE);
  void* room = ::VirtualAlloc(nullptr, bytes + alignment, MEM_RESERVE, PAGE_NOACCESS);
  if (room == nullptr) return nullptr;
  const std::uintptr_t aligned =
      (reinterpret_cast<std::uintptr_t>(room) + alignment - 1) / alignment * alignment;
  ::VirtualFree(room, 0, MEM_RELEASE);
  return ::VirtualAlloc(reinterpret_cast<void*>(aligned), bytes, MEM_RESERVE | MEM_COMMIT,
                        PAGE_READWRITE);
}

void free_zeroed(void* p, std::size_t) { ::VirtualFree(p, 0, MEM_RELEASE); }

// Large pages need a privilege that ordinary users lack; no hint is given.
void advise_large_pages(void*, std::size_t) {}

}  // namespace platform
