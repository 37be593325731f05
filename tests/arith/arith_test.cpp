#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "arith/modular_product.h"
#include "arith/primality.h"
#include "arith/prime_factors.h"

namespace {

__extension__ typedef unsigned __int128 Wide;

std::uint64_t exact(std::uint64_t a, std::uint64_t b, std::uint64_t n) {
  return static_cast<std::uint64_t>(Wide{a} * b % n);
}

// The floating-point quotient is tightest where a·b lies just beside a multiple of n and
// the operands are near n: there it errs by one either way, and both corrections are
// needed. Large moduli, operands near n - 1 and near √(k·n), and random ones.
TEST(Modulus, AgreesWithExactArithmetic) {
  std::mt19937_64 random(2026);
  const std::uint32_t moduli[] = {2,          3,          1u << 21,   (1u << 21) + 1, 999999937,
                                  1000000007, 2147483629, 2147483646, 2147483647};
  for (std::uint32_t n : moduli) {
    const arith::Modulus mod(n);
    for (std::uint64_t a = n > 200 ? n - 200 : 0; a < n; ++a) {
      for (std::uint64_t b = n > 50 ? n - 50 : 0; b < n; ++b) {
        ASSERT_EQ(mod.multiply(a, b), exact(a, b, n)) << a << " * " << b << " mod " << n;
      }
    }
    for (int trial = 0; trial < 200000; ++trial) {
      const std::uint64_t a = random() % n, b = random() % n;
      ASSERT_EQ(mod.multiply(a, b), exact(a, b, n)) << a << " * " << b << " mod " << n;
    }
  }
  // Random moduli above 2^21, where products pass 2^42 and the estimate loses bits.
  for (int trial = 0; trial < 2000; ++trial) {
    const auto n = static_cast<std::uint32_t>((1u << 21) + random() % ((1u << 31) - (1u << 21)));
    const arith::Modulus mod(n);
    for (int k = 0; k < 500; ++k) {
      const std::uint64_t a = random() % n, b = random() % n;
      ASSERT_EQ(mod.multiply(a, b), exact(a, b, n)) << a << " * " << b << " mod " << n;
    }
  }
}

// The precomputed quotient is short by one where x·w lies just below a multiple of n:
// factors and operands near n - 1, small ones, and random ones.
TEST(FixedFactor, AgreesWithExactArithmetic) {
  std::mt19937_64 random(16);
  const std::uint32_t moduli[] = {2, 3, 65537, 999999937, 2147483629, 2147483646, 2147483647};
  for (std::uint32_t n : moduli) {
    std::vector<std::uint32_t> factors = {0, 1, n - 1, n / 2, n > 3 ? n - 2 : 1};
    for (int k = 0; k < 20; ++k) factors.push_back(static_cast<std::uint32_t>(random() % n));
    for (std::uint32_t w : factors) {
      const arith::FixedFactor fixed(w, n);
      for (std::uint64_t x = n > 300 ? n - 300 : 0; x < n; ++x) {
        ASSERT_EQ(fixed.times(x), exact(x, w, n)) << x << " * " << w << " mod " << n;
      }
      for (int k = 0; k < 20000; ++k) {
        const std::uint64_t x = random() % n;
        ASSERT_EQ(fixed.times(x), exact(x, w, n)) << x << " * " << w << " mod " << n;
      }
    }
  }
}

TEST(Remainder, AgreesWithTheDivision) {
  std::mt19937_64 random(17);
  for (std::uint32_t d : {1u, 2u, 3u, 7u, 65521u, 65535u, 2147483647u, 4294967295u}) {
    const arith::Remainder mod(d);
    for (std::uint32_t a : {0u, 1u, d - 1, d, d + 1, 4294967295u}) ASSERT_EQ(mod.of(a), a % d) << a;
    for (int k = 0; k < 100000; ++k) {
      const auto a = static_cast<std::uint32_t>(random());
      ASSERT_EQ(mod.of(a), a % d) << a << " mod " << d;
    }
  }
}

TEST(PowerMod, AgreesWithExactArithmetic) {
  std::mt19937_64 random(18);
  for (std::uint32_t n : {3u, 7u, 65521u, 65537u, 2147483647u}) {
    const arith::PowerMod power_mod(n);
    for (int k = 0; k < 2000; ++k) {
      const auto a = static_cast<std::uint32_t>(random() % n);
      const std::uint64_t e = random() % (std::uint64_t{1} << 32);
      std::uint64_t expected = 1 % n;
      for (std::uint64_t b = a, f = e; f != 0; f >>= 1, b = exact(b, b, n)) {
        if (f & 1) expected = exact(expected, b, n);
      }
      ASSERT_EQ(power_mod(a, e), expected) << a << "^" << e << " mod " << n;
    }
    EXPECT_EQ(power_mod(2, 0), 1u);
  }
}

std::vector<std::uint32_t> factors_of(std::uint32_t m) {
  std::vector<std::uint32_t> primes;
  arith::distinct_prime_factors(m, primes);
  return primes;
}

TEST(DistinctPrimeFactors, SignedAndUnsignedAlike) {
  std::vector<std::int32_t> signed_primes;
  arith::distinct_prime_factors(std::int32_t{870870}, signed_primes);
  EXPECT_EQ(signed_primes, (std::vector<std::int32_t>{2, 3, 5, 7, 11, 13, 29}));
  arith::distinct_prime_factors(std::int32_t{0}, signed_primes);
  EXPECT_TRUE(signed_primes.empty());
  EXPECT_EQ(factors_of(2147483646), (std::vector<std::uint32_t>{2, 3, 7, 11, 31, 151, 331}));
  EXPECT_EQ(factors_of(2147483647), (std::vector<std::uint32_t>{2147483647}));
  EXPECT_TRUE(factors_of(1).empty());
}

// Primality and prime powers against trial division, where the small primes stop and the
// integer roots take over, and on the strong pseudoprimes of the bases.
TEST(PrimePower, FindsThePrimeAndTheExponent) {
  for (std::uint32_t m = 0; m < 200000; ++m) {
    const std::vector<std::uint32_t> primes = factors_of(m);
    const bool prime_power = primes.size() == 1;
    ASSERT_EQ(arith::is_prime(m), prime_power && primes[0] == m) << m;
    const arith::PrimePower found = arith::prime_power(m);
    ASSERT_EQ(found.prime, prime_power ? primes[0] : 0) << m;
    ASSERT_EQ(arith::is_composite_prime_power(m), prime_power && primes[0] != m) << m;
  }
  for (const std::uint32_t m : {8321u, 11041u, 13213u, 79381u, 916327u, 2269093u, 42994249u}) {
    EXPECT_FALSE(arith::is_prime_power(m)) << m;
  }
  const struct {
    std::uint32_t m, prime;
    unsigned exponent;
  } powers[] = {{2147117569, 46337, 2}, {2141700569, 1289, 3}, {1982119441, 211, 4},
                {2073071593, 73, 5},    {1162261467, 3, 19},   {1073741824, 2, 30}};
  for (const auto& p : powers) {
    EXPECT_EQ(arith::prime_power(p.m).prime, p.prime) << p.m;
    EXPECT_EQ(arith::prime_power(p.m).exponent, p.exponent) << p.m;
  }
}

}  // namespace
