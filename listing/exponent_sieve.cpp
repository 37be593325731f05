#include "listing/exponent_sieve.h"

#include <algorithm>
#include <array>

namespace listing {

// Worked out by the compiler for every q below 64 (the rows of composite q go unused), so
// a short list does not build masks per number.
constexpr NonMultipleWords kNonMultiples = [] {
  NonMultipleWords keep{};
  for (std::uint64_t q = 2; q < 64; ++q) {
    for (std::uint64_t r = 0; r < q; ++r) {
      std::uint64_t mask = ~std::uint64_t{0};
      for (std::uint64_t b = (q - r) % q; b < 64; b += q) mask &= ~(std::uint64_t{1} << b);
      keep[q][r] = mask;
    }
  }
  return keep;
}();

namespace {

// Clears, in the words 0 .. words - 1 of the block of odd exponents from lo, every
// multiple of the odd prime q: lo + 2j is one exactly when j ≡ -lo / 2 (mod q).
void clear_multiples(std::uint64_t* block, std::uint64_t words, std::uint64_t lo, std::uint64_t q) {
  // Exponents stay below 2^32: 32-bit remainders, which are the quicker ones.
  const auto q32 = static_cast<std::uint32_t>(q);
  // The first such j; from lo = 1 (every short list) without a division.
  const std::uint32_t first =
      lo == 1 ? (q32 - 1) / 2
              : static_cast<std::uint32_t>(std::uint64_t{(q32 - lo % q32) % q32} * ((q32 + 1) / 2) %
                                           q32);
  if (q < 64) {
    // A small prime hits every word; its pattern depends only on where the word starts
    // modulo q, so one mask per residue clears a whole word at once. kNonMultiples[q][r]
    // clears the bits b ≡ -r, and each word starts 64 bits on.
    const std::array<std::uint64_t, 64>& keep = kNonMultiples[q];
    std::uint32_t r = (q32 - first) % q32;
    if (words == 1) {
      block[0] &= keep[r];
      return;
    }
    const std::uint32_t step = 64 % q32;
    for (std::uint64_t w = 0; w < words; ++w) {
      block[w] &= keep[r];
      r += step;
      if (r >= q32) r -= q32;
    }
    return;
  }
  const std::uint64_t bits = words * 64;
  for (std::uint64_t j = first; j < bits; j += q) {
    block[j / 64] &= ~(std::uint64_t{1} << (j % 64));
  }
}

}  // namespace

std::uint64_t sieve_odd_exponent_block(std::uint64_t* block, std::uint64_t lo, std::uint64_t last,
                                       std::span<const std::uint32_t> phi_primes) {
  // Only the words that hold exponents up to last are filled: a short list costs a word
  // or two, not a whole block.
  const std::uint64_t bits = std::min<std::uint64_t>(kBlockBits, (last - lo) / 2 + 1);
  const std::uint64_t words = (bits + 63) / 64;
  std::fill(block, block + words, ~std::uint64_t{0});
  for (std::uint32_t q : phi_primes) {
    if (q != 2) clear_multiples(block, words, lo, q);
  }
  if (bits % 64 != 0) block[words - 1] &= (std::uint64_t{1} << (bits % 64)) - 1;
  return words;
}

}  // namespace listing
