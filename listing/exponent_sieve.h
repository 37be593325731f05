#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace listing {

// Exponents are sieved in blocks small enough to stay in the first-level cache. Only odd
// exponents are sieved (φ(n) is even for n > 2, so an even one is never coprime to it):
// bit j of a block stands for the exponent lo + 2j, with lo odd.
inline constexpr std::uint64_t kBlockBits = std::uint64_t{1} << 15;
inline constexpr std::uint64_t kBlockWords = kBlockBits / 64;

// Leaves set, in the block of odd exponents lo, lo + 2, ..., lo + 2 (kBlockBits - 1),
// exactly the bits of the exponents up to `last` that no odd prime of phi_primes divides.
// Returns how many words hold such exponents; only those are written (the rest lies past
// last).
std::uint64_t sieve_odd_exponent_block(std::uint64_t* block, std::uint64_t lo, std::uint64_t last,
                                       std::span<const std::uint32_t> phi_primes);

// kNonMultiples[q][r], for 2 <= q < 64 and r < q: the word of 64 exponents from some lo
// with lo ≡ r (mod q), bit j standing for lo + j, with the multiples of q cleared.
using NonMultipleWords = std::array<std::array<std::uint64_t, 64>, 64>;
extern const NonMultipleWords kNonMultiples;

// For 1 <= phi <= 64: bit k - 1 set for each exponent k in 1 .. phi coprime to phi.
inline std::uint64_t coprime_exponent_word(std::uint32_t phi,
                                           std::span<const std::uint32_t> phi_primes) {
  std::uint64_t word = ~std::uint64_t{0} >> (64 - phi);
  // A prime q dividing phi is below 64: one word of its masks, the one from lo = 1,
  // clears q, 2q, ... at once.
  for (const std::uint32_t q : phi_primes) word &= kNonMultiples[q][1];
  return word;
}

// How many exponents in 1 .. phi are coprime to phi: φ(phi), the number of roots.
inline std::uint64_t count_coprime(std::uint32_t phi, std::span<const std::uint32_t> phi_primes) {
  std::uint32_t count = phi;
  for (const std::uint32_t q : phi_primes) count -= count / q;
  return count;
}

}  // namespace listing
