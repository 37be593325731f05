#include "listing/exponent_sieve.h"

#include <algorithm>
#include <array>

namespace listing {

namespace {

// Clears, in the block of exponents lo .. lo + kBlockBits - 1, every multiple of q.
void clear_multiples(std::uint64_t* block, std::uint64_t lo, std::uint64_t q) {
  if (q < 64) {
    // A small prime hits every word; its pattern depends only on where the word starts
    // modulo q, so one mask per residue clears a whole word at once.
    std::array<std::uint64_t, 64> keep{};
    for (std::uint64_t r = 0; r < q; ++r) {
      std::uint64_t mask = ~std::uint64_t{0};
      for (std::uint64_t b = (q - r) % q; b < 64; b += q) mask &= ~(std::uint64_t{1} << b);
      keep[r] = mask;
    }
    std::uint64_t r = lo % q;
    const std::uint64_t step = 64 % q;
    for (std::uint64_t w = 0; w < kBlockWords; ++w) {
      block[w] &= keep[r];
      r += step;
      if (r >= q) r -= q;
    }
    return;
  }
  for (std::uint64_t j = (q - lo % q) % q; j < kBlockBits; j += q) {
    block[j / 64] &= ~(std::uint64_t{1} << (j % 64));
  }
}

}  // namespace

std::uint64_t sieve_exponent_block(std::uint64_t* block, std::uint64_t lo, std::uint64_t phi,
                                   std::span<const std::uint32_t> phi_primes) {
  std::fill(block, block + kBlockWords, ~std::uint64_t{0});
  for (std::uint32_t q : phi_primes) clear_multiples(block, lo, q);
  const std::uint64_t bits = std::min<std::uint64_t>(kBlockBits, phi - lo + 1);
  const std::uint64_t words = (bits + 63) / 64;
  if (bits % 64 != 0) block[words - 1] &= (std::uint64_t{1} << (bits % 64)) - 1;
  return words;
}

std::uint64_t count_coprime(std::uint32_t phi, std::span<const std::uint32_t> phi_primes) {
  std::uint64_t count = phi;
  for (std::uint32_t q : phi_primes) count -= count / q;
  return count;
}

}  // namespace listing
