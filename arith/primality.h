#pragma once

#include <cstdint>

#include "arith/modular_product.h"

// Primality and prime powers for numbers below 2^31 without trial division up to the
// square root: a batch of large numbers then costs about what `factor` costs per number.
namespace arith {

// m < 2^31 is prime. Small factors are tried first; then a strong probable-prime test to the
// bases 2, 7 and 61, which no composite below 4,759,123,141 passes (Jaeschke).
inline bool is_prime_u32(std::uint32_t m) {
  if (m < 2) return false;
  for (const std::uint32_t p : {2u, 3u, 5u, 7u, 11u, 13u, 17u, 19u, 23u, 29u, 31u, 37u}) {
    if (m % p == 0) return m == p;
  }
  if (m < 41 * 41) return true;
  std::uint32_t odd = m - 1;
  unsigned twos = 0;
  for (; odd % 2 == 0; odd /= 2) ++twos;
  const PowerMod power(m);
  const Modulus mod(m);
  for (const std::uint32_t base : {2u, 7u, 61u}) {
    std::uint64_t x = power(base % m, odd);
    if (x == 1 || x == m - 1) continue;
    bool composite = true;
    for (unsigned i = 1; i < twos && composite; ++i) {
      x = mod.multiply(x, x);
      composite = x != m - 1;
    }
    if (composite) return false;
  }
  return true;
}

// r^j when it does not exceed `limit`, otherwise limit + 1.
inline std::uint64_t power_up_to(std::uint64_t r, unsigned j, std::uint64_t limit) {
  std::uint64_t result = 1;
  for (unsigned i = 0; i < j; ++i) {
    result *= r;
    if (result > limit) return limit + 1;
  }
  return result;
}

// Declared ahead: the root found for a power is itself tested as a prime power.
inline bool is_prime_power_u32(std::uint32_t m);

// m < 2^31, known not to be prime, is p^k for a prime p and k >= 2: is_prime_power_u32
// without testing m itself again. Such a power is r^j for a prime j and a prime power r,
// so the prime exponents up to log2 m are tried, each by an integer root found by
// bisection (no floating-point library, which would cost every process a shared library
// to load).
inline bool is_composite_prime_power_u32(std::uint32_t m) {
  if (m < 4) return false;
  for (const unsigned j : {2u, 3u, 5u, 7u, 11u, 13u, 17u, 19u, 23u, 29u, 31u}) {
    if ((std::uint64_t{1} << j) > m) break;
    // The largest r with r^j <= m lies in [lo, hi): 2^j <= m, and m < 2^(31/j + 1)^j.
    std::uint64_t lo = 2;
    std::uint64_t hi = std::uint64_t{1} << (31 / j + 1);
    while (hi - lo > 1) {
      const std::uint64_t mid = (lo + hi) / 2;
      (power_up_to(mid, j, m) <= m ? lo : hi) = mid;
    }
    if (power_up_to(lo, j, m) == m) return is_prime_power_u32(static_cast<std::uint32_t>(lo));
  }
  return false;
}

// m < 2^31 is p^k for a prime p and k >= 1.
inline bool is_prime_power_u32(std::uint32_t m) {
  return is_prime_u32(m) || is_composite_prime_power_u32(m);
}

}  // namespace arith
