#pragma once

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "common/output_buffer.h"

namespace common {

// Large bitmaps are marked at random places; backing them with huge pages spares most
// of the address-translation misses that would otherwise dominate.
template <class T>
struct HugePageAllocator {
  using value_type = T;
  HugePageAllocator() = default;
  template <class U>
  HugePageAllocator(const HugePageAllocator<U>&) {}
  T* allocate(std::size_t count);
  void deallocate(T* p, std::size_t) { std::free(p); }
  template <class U>
  bool operator==(const HugePageAllocator<U>&) const {
    return true;
  }
};

void* allocate_huge_pages(std::size_t bytes);

template <class T>
T* HugePageAllocator<T>::allocate(std::size_t count) {
  return static_cast<T*>(allocate_huge_pages(count * sizeof(T)));
}

// Bit r marks the residue r modulo `modulus` as a primitive root. Marking and then
// scanning the bits gives the roots in ascending order without sorting.
struct RootBitmap {
  std::uint32_t modulus = 0;
  std::vector<std::uint64_t, HugePageAllocator<std::uint64_t>> words;
};

// Marks g^k mod n for every exponent k in 1 .. phi with gcd(k, phi) = 1. With g a
// primitive root of n and phi = φ(n) these are exactly the primitive roots of n, each
// once. phi_primes are the distinct primes dividing phi. Needs 2 <= n < 2^31.
void mark_generator_powers(std::uint32_t n, std::uint32_t g, std::uint32_t phi,
                           std::span<const std::uint32_t> phi_primes, RootBitmap& roots);

// How many exponents in 1 .. phi are coprime to phi: φ(phi), the number of roots.
std::uint64_t count_coprime(std::uint32_t phi, std::span<const std::uint32_t> phi_primes);

// Visits the marked residues in ascending order.
template <class Visit>
void for_each_root(const RootBitmap& roots, Visit&& visit) {
  const std::size_t count = roots.words.size();
  for (std::size_t w = 0; w < count; ++w) {
    for (std::uint64_t bits = roots.words[w]; bits != 0; bits &= bits - 1) {
      visit(static_cast<std::uint32_t>(w * 64 + static_cast<unsigned>(std::countr_zero(bits))));
    }
  }
}

// Writes the marked residues ascending, separated by single spaces, and a newline.
// Writes nothing when no residue is marked.
void write_root_line(const RootBitmap& roots, OutputBuffer& out);

}  // namespace common
