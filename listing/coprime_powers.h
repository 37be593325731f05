#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <span>

#include "arith/modular_product.h"
#include "listing/exponent_sieve.h"
#include "listing/word_products.h"

namespace listing {

// The walk of walk_coprime_powers for phi > 64, kept out of line: its arrays would
// otherwise cost every short list a large stack frame.
template <class Mark, class Stop>
[[gnu::noinline]] bool walk_long(std::uint32_t n, std::uint32_t g, std::uint32_t last,
                                 std::span<const std::uint32_t> phi_primes, Mark mark, Stop stop) {
  // φ(n) is even here, so only odd exponents can be coprime to it: each word of the
  // exponent sieve covers 64 odd exponents k, k + 2, ..., k + 126. Its roots are
  // g^k · g^(2b) for the set bits b, products independent of one another; only the step
  // from one word's g^k to the next (times g^128) forms a chain. Every g^(2b) is a fixed
  // factor, so each product is one integer multiplication for the quotient and two for
  // the rest, and a word's products can be formed side by side (word_products.h).
  WordFactors factors;
  factors.n = n;
  std::uint64_t power = 1 % n;
  const arith::FixedFactor times_g2(static_cast<std::uint32_t>(std::uint64_t{g} * g % n), n);
  for (std::size_t b = 0; b < 64; ++b) {
    factors.factor[b] = power;
    factors.scaled[b] = (power << 32) / n;
    power = times_g2.times(power);
  }
  const arith::FixedFactor times_g128(static_cast<std::uint32_t>(power), n);

  std::array<std::uint64_t, kBlockWords> block;
  alignas(64) std::uint32_t products[64 + 8];
  std::uint64_t base = g % n;  // g^k for the first exponent of the word
  for (std::uint64_t lo = 1; lo <= last; lo += 2 * kBlockBits) {
    if (stop()) return false;
    const std::uint64_t words = sieve_odd_exponent_block(block.data(), lo, last, phi_primes);
    for (std::uint64_t w = 0; w < words; ++w) {
      const std::size_t count = word_products(factors, base, block[w], products);
      for (std::size_t i = 0; i < count; ++i) mark(products[i]);
      base = times_g128.times(base);
    }
  }
  return true;
}

// Calls mark(g^k mod n) for every k in 1 .. last coprime to phi, in order of k. Needs
// 2 <= n < 2^31 and 1 <= last <= phi; phi_primes are the distinct primes dividing phi.
// Before each block of exponents it asks stop() and ends early, returning false, once
// that says yes.
template <class Mark, class Stop>
bool walk_coprime_powers(std::uint32_t n, std::uint32_t g, std::uint32_t phi, std::uint32_t last,
                         std::span<const std::uint32_t> phi_primes, Mark&& mark, Stop stop) {
  if (phi <= 64) {
    // One word of exponents (for phi = φ(n), n is at most 162): a chain of products is
    // quicker than setting up the fixed factors.
    const std::uint64_t block =
        coprime_exponent_word(phi, phi_primes) & (~std::uint64_t{0} >> (64 - last));
    if (stop()) return false;
    if (n < (1u << 8)) {
      // Products below 2^16: a 32-bit reciprocal is exact for them (Lemire's method).
      const std::uint32_t inverse = 0xffffffffu / n + 1;
      const auto remainder = [&](std::uint32_t a) {
        return static_cast<std::uint32_t>((std::uint64_t{inverse * a} * n) >> 32);
      };
      const std::uint32_t factor = remainder(g % n);
      std::uint32_t power = 1;
      for (std::uint32_t k = 1; k <= last; ++k) {
        power = remainder(power * factor);
        if ((block >> (k - 1)) & 1) mark(power);
      }
    } else {
      const arith::Modulus mod(n);
      std::uint64_t power = 1;
      for (std::uint32_t k = 1; k <= last; ++k) {
        power = mod.multiply(power, g % n);
        if ((block >> (k - 1)) & 1) mark(static_cast<std::uint32_t>(power));
      }
    }
    return true;
  }

  return walk_long(n, g, last, phi_primes, mark, stop);
}

}  // namespace listing
