#include "platform/memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace platform {

void* allocate_aligned(std::size_t bytes, std::size_t alignment) {
  return std::aligned_alloc(alignment, bytes);
}

void free_aligned(void* p) { std::free(p); }

namespace {

std::size_t whole_pages(std::size_t bytes) {
  const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  return (bytes + page - 1) / page * page;
}

}  // namespace

void* allocate_zeroed(std::size_t bytes, std::size_t alignment) {
  const std::size_t length = whole_pages(bytes);
  // Mapped with room to align in; what lies outside the aligned block goes back.
  const std::size_t room = alignment > 1 ? whole_pages(alignment) : 0;
  void* mapped =
      ::mmap(nullptr, length + room, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(mapped);
  const std::uintptr_t aligned = (start + alignment - 1) / alignment * alignment;
  if (aligned != start) ::munmap(mapped, aligned - start);
  const std::uintptr_t end = start + length + room;
  if (end != aligned + length)
    ::munmap(reinterpret_cast<void*>(aligned + length), end - aligned - length);
  return reinterpret_cast<void*>(aligned);
}

void free_zeroed(void* p, std::size_t bytes) { ::munmap(p, whole_pages(bytes)); }

void advise_large_pages([[maybe_unused]] void* p, [[maybe_unused]] std::size_t bytes) {
#ifdef TAMSEL_HAVE_MADV_HUGEPAGE
  ::madvise(p, bytes, MADV_HUGEPAGE);
#endif
}

}  // namespace platform
