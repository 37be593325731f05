#pragma once

#include <cstddef>

// Memory with a given alignment, and the hint that a large block be backed by large
// pages where the system has them (absent on Windows and where the build found none).
namespace platform {

// `bytes` (a multiple of `alignment`, itself a power of two) or null.
void* allocate_aligned(std::size_t bytes, std::size_t alignment);
void free_aligned(void* p);

// `bytes` of zeros straight from the system, aligned to `alignment` (a power of two), or
// null; released with free_zeroed() and the same size. A fresh block needs no clearing,
// and its pages cost nothing until they are touched.
void* allocate_zeroed(std::size_t bytes, std::size_t alignment);
void free_zeroed(void* p, std::size_t bytes);

// Advice only: a failure costs speed, not results.
void advise_large_pages(void* p, std::size_t bytes);

}  // namespace platform
