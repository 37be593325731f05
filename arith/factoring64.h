#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "arith/montgomery64.h"
#include "arith/primality64.h"

// Distinct primes with exponents of any number below 2^64. Trial division finds every
// prime below 1024 (most numbers have several); what is left, when not proven prime, is
// split by Pollard's rho method in Brent's form, each split part tested again. Rho finds
// a factor p after about √p steps of one modular square, and the differences of a batch of
// steps are multiplied together so that one gcd serves the batch: for a 64-bit cofactor
// whose factors all exceed 1024 that is some microseconds, where trial division to its
// square root would take seconds. Nothing is allocated: a number below 2^64 has at most
// 15 distinct primes and at most 63 prime factors counted with multiplicity.
namespace arith {

struct Factorization64 {
  static constexpr std::size_t kMaxPrimes = 15;  // 2·3·5·…·47 < 2^64 < that times 53

  std::array<std::uint64_t, kMaxPrimes> primes{};  // ascending
  std::array<unsigned, kMaxPrimes> exponents{};
  std::size_t count = 0;

  // Multiplies in prime^exponent, keeping the primes ascending.
  void multiply(std::uint64_t prime, unsigned exponent) {
    std::size_t i = 0;
    while (i < count && primes[i] < prime) ++i;
    if (i < count && primes[i] == prime) {
      exponents[i] += exponent;
      return;
    }
    for (std::size_t j = count; j > i; --j) {
      primes[j] = primes[j - 1];
      exponents[j] = exponents[j - 1];
    }
    primes[i] = prime;
    exponents[i] = exponent;
    ++count;
  }

  // Takes the larger exponent of prime, as a least common multiple does.
  void raise_to_at_least(std::uint64_t prime, unsigned exponent) {
    for (std::size_t i = 0; i < count; ++i) {
      if (primes[i] == prime) {
        exponents[i] = std::max(exponents[i], exponent);
        return;
      }
    }
    multiply(prime, exponent);
  }
};

// A factor 1 < d < n of an odd composite n with no prime factor below 1024. The map
// x -> x² + c is iterated in Montgomery's form (the form changes no gcd with n); when a
// batch's product meets the whole of n, its steps are retaken one at a time, and when
// even those meet n, the next c is tried.
template <class Word>
Word brent_factor(Word n) {
  const Montgomery<Word> mod(n);
  constexpr std::uint64_t kBatch = 128;
  const auto distance = [](Word a, Word b) { return a > b ? a - b : b - a; };
  for (Word c = 1;; ++c) {
    const auto step = [&](Word x) { return mod.add(mod.square(x), c); };
    Word x = 0;
    Word y = mod.one();
    Word saved = y;
    Word product = mod.one();
    std::uint64_t divisor = 1;
    for (std::uint64_t length = 1; divisor == 1; length *= 2) {
      x = y;
      for (std::uint64_t i = 0; i < length; ++i) y = step(y);
      for (std::uint64_t done = 0; done < length && divisor == 1; done += kBatch) {
        saved = y;
        const std::uint64_t steps = std::min(kBatch, length - done);
        for (std::uint64_t i = 0; i < steps; ++i) {
          y = step(y);
          product = mod.multiply(product, distance(x, y));
        }
        divisor = gcd_u64(product, n);
      }
    }
    if (divisor == n) {
      do {
        saved = step(saved);
        divisor = gcd_u64(distance(x, saved), n);
      } while (divisor == 1);
    }
    if (divisor != n) return static_cast<Word>(divisor);
  }
}

// Multiplies into `out` the primes of odd m > 1 that has no prime factor below 1024, each
// `times` times over.
inline void factor_after_trial_u64(std::uint64_t m, unsigned times, Factorization64& out) {
  if (is_prime_after_trial_u64(m)) {
    out.multiply(m, times);
    return;
  }
  // Rho can meet a prime power whole; its roots are cheap to look for first.
  for (const unsigned k : {2u, 3u, 5u}) {
    const std::uint64_t r = integer_root_u64(m, k);
    if (power_at_most(r, k, m) == m) {
      factor_after_trial_u64(r, times * k, out);
      return;
    }
  }
  const std::uint64_t d =
      m < (std::uint64_t{1} << 32) ? brent_factor(static_cast<std::uint32_t>(m)) : brent_factor(m);
  factor_after_trial_u64(d, times, out);
  factor_after_trial_u64(m / d, times, out);
}

// The primes of n >= 1 with their exponents; none for 0 and 1.
inline Factorization64 factor_u64(std::uint64_t n) {
  Factorization64 out;
  if (n < 2) return out;
  if (const int twos = std::countr_zero(n); twos > 0) {
    out.multiply(2, static_cast<unsigned>(twos));
    n >>= twos;
  }
  for (const TrialPrime& d : kTrialPrimes) {
    if (d.p * d.p > n) break;
    if (d.divides(n)) out.multiply(d.p, d.strip(n));
  }
  if (n > 1) factor_after_trial_u64(n, 1, out);
  return out;
}

}  // namespace arith
