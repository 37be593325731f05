#include "arith/primality.h"

#include <array>
#include <bit>

#include "arith/integer_root.h"
#include "arith/montgomery.h"

namespace arith {

namespace {

// An odd prime with what tells divisibility by it without a division.
struct OddPrime {
  ModulusInt p;
  ModulusInt inverse;  // p · inverse ≡ 1 (mod 2^32)
  ModulusInt limit;    // (2^32 - 1) / p
};
constexpr ModulusInt kTrialLimit = 46341;
constexpr std::size_t kOddPrimeCount = 4791;
// The compiler sieves them, so a run pays nothing for them.
constexpr auto kOddPrimes = [] {
  std::array<bool, kTrialLimit + 1> composite{};
  std::array<OddPrime, kOddPrimeCount> list{};
  std::size_t count = 0;
  for (ModulusInt i = 3; i <= kTrialLimit; i += 2) {
    if (composite[i]) continue;
    ModulusInt inverse = i;  // Newton's steps, each doubling the correct low bits
    for (int step = 0; step < 4; ++step) inverse *= 2 - i * inverse;
    list[count++] = {i, inverse, 0xffffffffu / i};
    for (ModulusInt j = i * i; j <= kTrialLimit; j += 2 * i) composite[j] = true;
  }
  return list;
}();
static_assert(kOddPrimes.back().p == 46337, "one prime too few");

// The odd primes up to 73: a prime power p^k below 2^31 with k >= 5 has p among them.
constexpr std::size_t kSmallOddPrimes = 20;
static_assert(kOddPrimes[kSmallOddPrimes - 1].p == 73);

bool divides(const OddPrime& d, ModulusInt m) { return m * d.inverse <= d.limit; }

// Odd m >= 79 with no prime factor up to 73 is prime.
bool is_prime_without_small_factors(ModulusInt m) {
  if (m < 79 * 79) return true;
  const MontgomeryPowers powers(m);
  const int twos = std::countr_zero(m - 1);
  const ModulusInt odd = (m - 1) >> twos;
  for (const ModulusInt base : {2u, 7u, 61u}) {
    ModulusInt x = powers.power(base, odd);
    if (x == powers.one() || x == powers.minus_one()) continue;
    bool composite = true;
    for (int i = 1; i < twos && composite; ++i) {
      x = powers.square(x);
      composite = x != powers.minus_one();
    }
    if (composite) return false;
  }
  return true;
}

// Odd m >= 3 is prime.
bool is_odd_prime(ModulusInt m) {
  for (std::size_t i = 0; i < kSmallOddPrimes; ++i) {
    if (divides(kOddPrimes[i], m)) return m == kOddPrimes[i].p;
  }
  return is_prime_without_small_factors(m);
}

// Odd m with a prime factor up to 73: true, and `power` is m as p^k for the least such p,
// or {} when another prime divides m too. False when no prime up to 73 divides m.
bool small_prime_power(ModulusInt m, PrimePower& power) {
  for (std::size_t i = 0; i < kSmallOddPrimes; ++i) {
    const OddPrime& d = kOddPrimes[i];
    if (!divides(d, m)) continue;
    unsigned k = 0;
    do {
      m *= d.inverse;  // the exact quotient
      ++k;
    } while (divides(d, m));
    power = m == 1 ? PrimePower{d.p, k} : PrimePower{};
    return true;
  }
  return false;
}

// Odd m, not prime, with no prime factor up to 73, as p^k: p >= 79, so k is 2, 3 or 4.
PrimePower large_prime_power(ModulusInt m) {
  if (const ModulusInt s = integer_root(m, 2); s * s == m) {
    if (const ModulusInt t = integer_root(s, 2); t * t == s) {
      return is_prime_without_small_factors(t) ? PrimePower{t, 4} : PrimePower{};
    }
    return is_prime_without_small_factors(s) ? PrimePower{s, 2} : PrimePower{};
  }
  const ModulusInt c = integer_root(m, 3);
  return c * c * c == m && is_prime_without_small_factors(c) ? PrimePower{c, 3} : PrimePower{};
}

// Above this a cofactor left after a prime is tested for primality: trying the primes up
// to its root would cost more than the test.
constexpr ModulusInt kTestCofactorFrom = ModulusInt{1} << 22;

}  // namespace

bool is_prime(ModulusInt m) {
  if (m % 2 == 0) return m == 2;
  return m >= 3 && is_odd_prime(m);
}

PrimePower prime_power(ModulusInt m) {
  if (m % 2 == 0) {
    if (m == 0 || (m & (m - 1)) != 0) return {};
    return {2, static_cast<unsigned>(std::countr_zero(m))};
  }
  if (m < 3) return {};
  // One pass of trial division serves both questions: most m stop at a small factor.
  if (PrimePower power; small_prime_power(m, power)) return power;
  if (is_prime_without_small_factors(m)) return {m, 1};
  return large_prime_power(m);
}

bool is_composite_prime_power(ModulusInt m) {
  if (m % 2 == 0) return m >= 4 && (m & (m - 1)) == 0;
  if (m < 9) return false;
  PrimePower power;
  if (!small_prime_power(m, power)) power = large_prime_power(m);
  return power.exponent >= 2;
}

std::size_t distinct_primes(ModulusInt m, ModulusInt* primes) {
  std::size_t count = 0;
  if (m < 2) return 0;
  if (m % 2 == 0) {
    primes[count++] = 2;
    m >>= std::countr_zero(m);
  }
  for (const OddPrime& d : kOddPrimes) {
    if (d.p * d.p > m) break;
    if (!divides(d, m)) continue;
    primes[count++] = d.p;
    do m *= d.inverse;  // the exact quotient
    while (divides(d, m));
    if (m >= kTestCofactorFrom && is_odd_prime(m)) break;
  }
  if (m > 1) primes[count++] = m;
  return count;
}

}  // namespace arith
