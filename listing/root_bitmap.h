#pragma once

#include <bit>
#include <cstdint>
#include <span>
#include <vector>

#include "listing/huge_pages.h"

namespace listing {

// Bit r marks the residue r modulo `modulus` as a primitive root. Marking and then
// scanning the bits gives the roots in ascending order without sorting. A batch keeps
// one bitmap and reuses its memory from number to number.
struct RootBitmap {
  std::uint32_t modulus = 0;
  std::vector<std::uint64_t, HugePageAllocator<std::uint64_t>> words;
};

// Marks g^k mod n for every exponent k in 1 .. phi with gcd(k, phi) = 1, and nothing
// else. With g a primitive root of n and phi = φ(n) these are exactly the primitive roots
// of n, each once. phi_primes are the distinct primes dividing phi. Needs 2 <= n < 2^31.
// The largest lists take seconds: go_on (when given) is asked every few ten thousand
// exponents, and once it says no the marking stops unfinished and returns false.
bool mark_generator_powers(std::uint32_t n, std::uint32_t g, std::uint32_t phi,
                           std::span<const std::uint32_t> phi_primes, RootBitmap& roots,
                           bool (*go_on)() = nullptr);

// Visits every marked residue in ascending order.
template <class Visit>
void for_each_root(const RootBitmap& roots, Visit&& visit) {
  const std::size_t count = roots.words.size();
  for (std::size_t w = 0; w < count; ++w) {
    for (std::uint64_t bits = roots.words[w]; bits != 0; bits &= bits - 1) {
      visit(static_cast<std::uint32_t>(w * 64 + static_cast<unsigned>(std::countr_zero(bits))));
    }
  }
}

}  // namespace listing
