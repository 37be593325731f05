#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <span>
#include <vector>

#include "listing/huge_pages.h"

namespace listing {

// Bit r marks the residue r as a primitive root. Marking and then scanning the bits gives
// the roots in ascending order without sorting. A batch keeps one bitmap and reuses its
// memory from number to number.
class RootBitmap {
 public:
  // Empties the bitmap and sizes it for the residues below n; returns its words, all zero,
  // to be marked. Memory past the words in use is kept zero (it comes zeroed, and words
  // that fall out of use are cleared here first), so that growing writes nothing and a
  // larger bitmap never shows an earlier number's marks.
  std::span<std::uint64_t> reset(std::uint32_t n) {
    std::fill(words_.begin(), words_.end(), 0);
    words_.resize((static_cast<std::size_t>(n) + 63) / 64);
    return {words_.data(), words_.size()};
  }

  std::span<const std::uint64_t> words() const { return {words_.data(), words_.size()}; }

  // How many residues are marked.
  std::uint64_t count() const {
    std::uint64_t marked = 0;
    for (const std::uint64_t w : words_) marked += static_cast<unsigned>(std::popcount(w));
    return marked;
  }

 private:
  std::vector<std::uint64_t, HugePageAllocator<std::uint64_t>> words_;
};

// Stop tests for the marking, asked before each block of exponents (every few ten
// thousand): true ends it unfinished.
struct NeverStop {
  constexpr bool operator()() const { return false; }
};
// A stop test of the caller's: a program that catches interrupts passes one that asks
// whether it has caught one, as the largest lists take seconds.
using StopTest = bool (*)();
// A stop test with the caller's context: a library user's cancellation.
struct StopWhenAsked {
  bool (*ask)(void* context);
  void* context;
  bool operator()() const { return ask(context); }
};

// Marks g^k mod n for every exponent k in 1 .. phi with gcd(k, phi) = 1, and nothing
// else. With g a primitive root of n and phi = φ(n) these are exactly the primitive roots
// of n, each once. phi_primes are the distinct primes dividing phi. Needs 2 <= n < 2^31.
// Returns false when `stop` ended the marking unfinished. Defined for NeverStop, StopTest and
// StopWhenAsked.
template <class Stop = NeverStop>
bool mark_generator_powers(std::uint32_t n, std::uint32_t g, std::uint32_t phi,
                           std::span<const std::uint32_t> phi_primes, RootBitmap& roots,
                           Stop stop = {});

// Visits every marked residue in ascending order.
template <class Visit>
void for_each_root(const RootBitmap& roots, Visit&& visit) {
  const std::span<const std::uint64_t> words = roots.words();
  for (std::size_t w = 0; w < words.size(); ++w) {
    for (std::uint64_t bits = words[w]; bits != 0; bits &= bits - 1) {
      visit(static_cast<std::uint32_t>(w * 64 + static_cast<unsigned>(std::countr_zero(bits))));
    }
  }
}

}  // namespace listing
