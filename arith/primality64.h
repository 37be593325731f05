#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "arith/montgomery64.h"

// Primality, integer roots and prime powers for every number below 2^64.
//
// Primality is proven, not assumed: small primes are tried by division first (most
// composites end there), then strong probable-prime tests to base sets that no composite
// passes in the range: 2, 7, 61 below 4,759,123,141 (Jaeschke), and the seven bases 2,
// 325, 9375, 28178, 450775, 9780504, 1795265022 for all of 64 bits (Sinclair; checked
// against Feitsma's list of every base-2 strong pseudoprime below 2^64). The first
// nine prime bases are not enough: 3825123056546413051 passes them all.
namespace arith {

// Divisibility by each odd prime below 1024 without a division: m·inverse mod 2^64 is
// m / p when p divides m, and above (2^64 - 1) / p otherwise.
struct TrialPrime {
  std::uint64_t p;
  std::uint64_t inverse;
  std::uint64_t limit;

  bool divides(std::uint64_t m) const { return m * inverse <= limit; }
  // Divides m, which p divides, by p as often as it goes; returns how often.
  unsigned strip(std::uint64_t& m) const {
    unsigned exponent = 0;
    do {
      m *= inverse;  // the exact quotient
      ++exponent;
    } while (divides(m));
    return exponent;
  }
};

inline constexpr std::uint64_t kTrialBound = 1024;  // every factor below it is found by trial
inline constexpr std::size_t kTrialPrimeCount = 171;
inline constexpr auto kTrialPrimes = [] {
  std::array<bool, kTrialBound> composite{};
  std::array<TrialPrime, kTrialPrimeCount> list{};
  std::size_t count = 0;
  for (std::uint64_t i = 3; i < kTrialBound; i += 2) {
    if (composite[i]) continue;
    std::uint64_t inverse = i;  // Newton's steps, each doubling the correct low bits
    for (int step = 0; step < 5; ++step) inverse *= 2 - i * inverse;
    list[count++] = {i, inverse, ~std::uint64_t{0} / i};
    for (std::uint64_t j = i * i; j < kTrialBound; j += 2 * i) composite[j] = true;
  }
  return list;
}();
static_assert(kTrialPrimes.back().p == 1021, "one odd prime too few or too many");

// The strong probable-prime test of odd n > base to one base in the form: with
// n - 1 = odd·2^twos, base^odd is 1, or squares to -1 within twos - 1 steps.
template <class Word>
bool strong_probable_prime(const Montgomery<Word>& mod, Word odd, int twos, Word base) {
  Word x = mod.power(mod.to(base), odd);
  if (x == mod.one() || x == mod.minus_one()) return true;
  for (int i = 1; i < twos; ++i) {
    x = mod.square(x);
    if (x == mod.minus_one()) return true;
    if (x == mod.one()) return false;
  }
  return false;
}

// Odd n > 61 is prime, by the strong tests alone.
inline bool passes_strong_tests_u64(std::uint64_t n) {
  const int twos = std::countr_zero(n - 1);
  if (n < (std::uint64_t{1} << 32)) {
    const auto m = static_cast<std::uint32_t>(n);
    const Montgomery<std::uint32_t> mod(m);
    const std::uint32_t odd = (m - 1) >> twos;
    for (const std::uint32_t base : {2u, 7u, 61u}) {
      if (!strong_probable_prime(mod, odd, twos, base)) return false;
    }
    return true;
  }
  const Montgomery<std::uint64_t> mod(n);
  const std::uint64_t odd = (n - 1) >> twos;
  for (const std::uint64_t base : {2u, 325u, 9375u, 28178u, 450775u, 9780504u, 1795265022u}) {
    if (!strong_probable_prime(mod, odd, twos, base)) return false;
  }
  return true;
}

// Odd n with no prime factor below 1024 is prime.
inline bool is_prime_after_trial_u64(std::uint64_t n) {
  return n < kTrialBound * kTrialBound || passes_strong_tests_u64(n);
}

inline bool is_prime_u64(std::uint64_t n) {
  if (n < 2) return false;
  if (n % 2 == 0) return n == 2;
  // A few small primes settle most composites cheaply; below 1024² trial division
  // finishes the job, above it the strong tests are cheaper than more trials.
  constexpr std::size_t kFirst = 15;  // 3 .. 53
  for (std::size_t i = 0; i < kFirst; ++i) {
    if (kTrialPrimes[i].divides(n)) return n == kTrialPrimes[i].p;
  }
  if (n >= kTrialBound * kTrialBound) return passes_strong_tests_u64(n);
  for (std::size_t i = kFirst; i < kTrialPrimeCount; ++i) {
    if (kTrialPrimes[i].p * kTrialPrimes[i].p > n) return true;
    if (kTrialPrimes[i].divides(n)) return false;
  }
  return true;
}

// r^k, or 0 when it exceeds `limit`.
inline std::uint64_t power_at_most(std::uint64_t r, unsigned k, std::uint64_t limit) {
  std::uint64_t result = 1;
  for (unsigned i = 0; i < k; ++i) {
    if (r != 0 && result > limit / r) return 0;
    result *= r;
  }
  return result;
}

// The largest r with r^k <= m (k >= 1), by Newton's method in integers from above; no
// floating point, which would not be exact near 2^64.
inline std::uint64_t integer_root_u64(std::uint64_t m, unsigned k) {
  if (k == 1 || m < 2) return m;
  const unsigned bits = 64 - static_cast<unsigned>(std::countl_zero(m));
  if (k >= bits) return 1;
  std::uint64_t x = std::uint64_t{1} << ((bits + k - 1) / k);  // above the root
  for (;;) {
    const std::uint64_t below = power_at_most(x, k - 1, m);
    const std::uint64_t y = ((k - 1) * x + (below == 0 ? 0 : m / below)) / k;
    if (y >= x) return x;
    x = y;
  }
}

// m = base^exponent with the largest exponent (m itself to the first when none larger).
struct PerfectPower {
  std::uint64_t base;
  unsigned exponent;
};

inline PerfectPower perfect_power_u64(std::uint64_t m) {
  if (m < 4) return {m, 1};
  for (const unsigned k :
       {2u, 3u, 5u, 7u, 11u, 13u, 17u, 19u, 23u, 29u, 31u, 37u, 41u, 43u, 47u, 53u, 59u, 61u}) {
    if (k >= 64 || (std::uint64_t{1} << k) > m) break;
    const std::uint64_t r = integer_root_u64(m, k);
    if (power_at_most(r, k, m) == m) {
      const PerfectPower inner = perfect_power_u64(r);
      return {inner.base, inner.exponent * k};
    }
  }
  return {m, 1};
}

// m = prime^exponent; {0, 0} when m is no prime power.
struct PrimePower {
  std::uint64_t prime;
  unsigned exponent;
};

// Odd m with no prime factor below 1024: a power of a prime has exponent at most 6, so
// the square, cube and fifth roots decide (a fourth or sixth power is a square).
inline PrimePower prime_power_after_trial_u64(std::uint64_t m) {
  if (is_prime_after_trial_u64(m)) return {m, 1};
  for (const unsigned k : {2u, 3u, 5u}) {
    const std::uint64_t r = integer_root_u64(m, k);
    if (power_at_most(r, k, m) != m) continue;
    const PrimePower inner = prime_power_after_trial_u64(r);
    return {inner.prime, inner.exponent * k};
  }
  return {0, 0};
}

inline PrimePower prime_power_u64(std::uint64_t m) {
  if (m < 2) return {0, 0};
  if (m % 2 == 0) {
    return std::has_single_bit(m) ? PrimePower{2, static_cast<unsigned>(std::countr_zero(m))}
                                  : PrimePower{0, 0};
  }
  // Primes, the common case, are told by a few trials and the strong tests, before the
  // trials that a prime power without small factors needs.
  constexpr std::size_t kFirst = 15;  // 3 .. 53
  for (std::size_t i = 0; i < kTrialPrimeCount; ++i) {
    const TrialPrime& d = kTrialPrimes[i];
    if (d.p * d.p > m) return {m, 1};
    if (i == kFirst && passes_strong_tests_u64(m)) return {m, 1};
    if (!d.divides(m)) continue;
    const unsigned exponent = d.strip(m);
    return m == 1 ? PrimePower{d.p, exponent} : PrimePower{0, 0};
  }
  return prime_power_after_trial_u64(m);  // tests m again, rarely: most composites end above
}

}  // namespace arith
