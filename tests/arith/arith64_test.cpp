#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "arith/factoring64.h"
#include "arith/montgomery64.h"
#include "arith/primality64.h"
#include "arith/roots64.h"
#include "tests/support/oracle.h"

#if TAMSEL_HAS_LIBRARY
#include <tamsel/primitive_roots.hpp>
#endif

namespace {

constexpr unsigned long long kTop = ~0ull;

// Products near the top of each word, where a reduction that overflows would show.
TEST(Montgomery64, AgreesWithExactArithmetic) {
  std::mt19937_64 random(64);
  for (const std::uint64_t n : {3ull, 4294967291ull, 4294967295ull, 4294967297ull, kTop - 58, kTop,
                                (1ull << 63) + 1, 9223372036854775783ull}) {
    const arith::Montgomery<std::uint64_t> wide(n);
    for (int trial = 0; trial < 20000; ++trial) {
      const std::uint64_t a = trial < 100 ? n - 1 - trial % n : random() % n;
      const std::uint64_t b = random() % n, k = random();
      ASSERT_EQ(wide.from(wide.multiply(wide.to(a), wide.to(b))), oracle::multiply_mod(a, b, n));
      ASSERT_EQ(wide.from(wide.power(wide.to(a), k)), oracle::power_mod(a, k, n)) << n;
      if (n >> 32 != 0) continue;
      const arith::Montgomery<std::uint32_t> narrow(static_cast<std::uint32_t>(n));
      const auto x = static_cast<std::uint32_t>(a), y = static_cast<std::uint32_t>(b);
      ASSERT_EQ(narrow.from(narrow.multiply(narrow.to(x), narrow.to(y))), a * b % n);
    }
  }
}

TEST(Primality64, SmallNumbersAgreeWithTrialDivisionAndHardCasesAreDecided) {
  for (std::uint64_t n = 0; n < 200000; ++n) {
    const auto primes = oracle::distinct_primes(n);
    ASSERT_EQ(arith::is_prime_u64(n), primes.size() == 1 && primes[0] == n) << n;
  }
  for (const std::uint64_t p :
       {kTop - 58, (1ull << 61) - 1, kTop - (1ull << 32) + 2, (1ull << 32) + 15, 2147483659ull,
        4179340454199820289ull, 4294967291ull, 9223372036854775783ull}) {
    EXPECT_TRUE(arith::is_prime_u64(p)) << p;
  }
  // Strong pseudoprimes to the first nine prime bases, to 2, 7 and 61 (the 32-bit set,
  // just above its reach), to 2, 3, 5 and 7; Carmichael numbers; squares and products
  // of primes near 2^32.
  for (const std::uint64_t c :
       {3825123056546413051ull, 318665857834031151ull, 4759123141ull, 3215031751ull, 2047ull,
        1122004669633ull, 561ull, 41041ull, 321197185ull, 5394826801ull, 9746347772161ull,
        4294967291ull * 4294967291ull, 4294967291ull * 4294967279ull, kTop}) {
    EXPECT_FALSE(arith::is_prime_u64(c)) << c;
  }
}

std::uint64_t product_of(const arith::Factorization64& f) {
  std::uint64_t product = 1;
  for (std::size_t i = 0; i < f.count; ++i) {
    for (unsigned j = 0; j < f.exponents[i]; ++j) product *= f.primes[i];
  }
  return product;
}

TEST(Factoring64, RebuildsEveryNumberFromAscendingPrimes) {
  std::mt19937_64 random(1);
  std::vector<std::uint64_t> numbers = {1,
                                        kTop,
                                        614889782588491410ull /* 2·3·…·47 */,
                                        4294967291ull * 4294967279ull,
                                        4294967291ull * 4294967291ull,
                                        2642239ull * 2642239ull * 2642239ull,
                                        1031ull * 1031 * 1031 * 1031 * 1031 * 1033,
                                        3825123056546413051ull};
  for (int i = 0; i < 3000; ++i) numbers.push_back(random() >> (i % 40));
  for (const std::uint64_t n : numbers) {
    const arith::Factorization64 f = arith::factor_u64(n);
    ASSERT_EQ(product_of(f), n);
    for (std::size_t i = 0; i < f.count; ++i) {
      ASSERT_TRUE(arith::is_prime_u64(f.primes[i])) << n;
      if (i > 0) {
        ASSERT_LT(f.primes[i - 1], f.primes[i]) << n;
      }
    }
  }
  EXPECT_EQ(arith::factor_u64(614889782588491410ull).count, 15u);
}

TEST(Factoring64, IntegerRootsAndPowersAreExactAtTheirEdges) {
  for (const unsigned k : {2u, 3u, 4u, 5u, 7u, 13u, 40u, 63u}) {
    const std::uint64_t r = arith::integer_root_u64(kTop, k);
    EXPECT_NE(arith::power_at_most(r, k, kTop), 0u) << k;
    EXPECT_EQ(arith::power_at_most(r + 1, k, kTop), 0u) << k;
    const std::uint64_t exact = arith::power_at_most(r, k, kTop);
    EXPECT_EQ(arith::integer_root_u64(exact, k), r);
    EXPECT_EQ(arith::integer_root_u64(exact - 1, k), r - 1);
  }
  EXPECT_EQ(arith::perfect_power_u64(1ull << 60).exponent, 60u);
  EXPECT_EQ(arith::perfect_power_u64(6ull * 6 * 6 * 6 * 6 * 6).base, 6u);
  const arith::PrimePower big = arith::prime_power_u64(4294967291ull * 4294967291ull);
  EXPECT_EQ(big.prime, 4294967291ull);
  EXPECT_EQ(big.exponent, 2u);
  EXPECT_EQ(arith::prime_power_u64(6557ull * 6557 * 6563 * 6563).prime, 0u);
}

// Every question for every n up to a few thousand, against counting and brute force.
TEST(Roots64, SmallModuliAgreeWithTheDefinitions) {
  for (std::uint64_t n = 0; n <= 1500; ++n) {
    const arith::FactoredModulus64 mod(n);
    ASSERT_EQ(arith::totient_u64(n), n < 2 ? n : oracle::totient_by_counting(n)) << n;
    ASSERT_EQ(mod.totient(), arith::totient_u64(n)) << n;
    const bool brute = n <= 400;  // orders step by step
    if (brute) {
      ASSERT_EQ(arith::carmichael_lambda_u64(n), oracle::carmichael_lambda_by_orders(n)) << n;
    }
    const bool has = n != 1 && (n == 0 ? false : oracle::has_root(n));
    ASSERT_EQ(arith::has_primitive_root_u64(n), has) << n;
    ASSERT_EQ(arith::least_primitive_root_u64(n), !has     ? 0
                                                  : n <= 4 ? n - 1
                                                           : oracle::least_root(n))
        << n;
    const auto phi_primes = oracle::distinct_primes(mod.totient());
    std::uint64_t count = 0;
    for (std::uint64_t g = 0; g < n + 3; ++g) {
      const bool unit = n > 0 && std::gcd(g % n, n) == 1;
      if (brute) {
        const std::uint64_t order = n == 1 ? 1 : unit ? oracle::order(g, n, n) : 0;
        ASSERT_EQ(arith::multiplicative_order_u64(g, n), order) << g << " mod " << n;
        ASSERT_EQ(mod.multiplicative_order(g), order) << g << " mod " << n;
      }
      const bool root =
          has && (n <= 4 ? g % n == n - 1 : oracle::is_root(g % n, n, mod.totient(), phi_primes));
      ASSERT_EQ(arith::is_primitive_root_u64(g, n), root) << g << " mod " << n;
      ASSERT_EQ(mod.is_primitive_root(g), root) << g << " mod " << n;
      count += root && g < n;
    }
    ASSERT_EQ(arith::count_primitive_roots_u64(n), count) << n;
  }
}

// Least roots known from the literature, and roots of large prime powers and their
// doubles checked from their definition, with φ's primes found by trial division.
TEST(Roots64, LargeModuliGiveKnownAndVerifiedRoots) {
  EXPECT_EQ(arith::least_primitive_root_u64(kTop - (1ull << 32) + 2), 7u);
  EXPECT_EQ(arith::least_primitive_root_u64(4179340454199820289ull), 3u);
  EXPECT_EQ(arith::least_primitive_root_u64((1ull << 61) - 1), 37u);
  EXPECT_EQ(arith::least_primitive_root_u64(kTop - 58), 2u);
  EXPECT_EQ(arith::least_primitive_root_u64(2147483659ull), 2u);
  struct Case {
    std::uint64_t p;
    unsigned k;
    bool doubled;
  };
  for (const Case c : {Case{(1ull << 32) + 15, 1, false}, Case{4294967291ull, 2, false},
                       Case{2642239, 3, false}, Case{9223372036854775783ull, 1, true},
                       Case{3037000493ull, 2, true}, Case{3, 40, false}, Case{3, 39, true}}) {
    std::uint64_t n = c.doubled ? 2 : 1, phi = c.p - 1;
    for (unsigned j = 0; j < c.k; ++j) n *= c.p;
    for (unsigned j = 1; j < c.k; ++j) phi *= c.p;
    std::vector<std::uint64_t> primes =
        c.p - 1 < (1ull << 44) ? oracle::distinct_primes(c.p - 1) : std::vector<std::uint64_t>{};
    if (primes.empty()) {  // p - 1 too large to try by division: take its factors as found
      const auto f = arith::factor_u64(c.p - 1);
      primes.assign(f.primes.begin(), f.primes.begin() + static_cast<long>(f.count));
    }
    if (c.k > 1) primes.push_back(c.p);
    std::uint64_t least = 1;
    while (!oracle::is_root(least, n, phi, primes)) ++least;
    EXPECT_EQ(arith::least_primitive_root_u64(n), least) << n;
    EXPECT_EQ(arith::totient_u64(n), phi) << n;
    EXPECT_EQ(arith::multiplicative_order_u64(least, n), phi) << n;
    const arith::FactoredModulus64 mod(n);
    EXPECT_EQ(mod.least_primitive_root(), least) << n;
    EXPECT_FALSE(mod.is_primitive_root(least * least)) << n;  // a square never is
  }
}

#if TAMSEL_HAS_LIBRARY
// For n up to 2^31 - 1 the answers are the library's, on random n and random primes.
TEST(Roots64, AgreesWithTheLibraryBelow2To31) {
  std::mt19937_64 random(31);
  for (int i = 0; i < 200000; ++i) {
    const std::uint64_t n = i % 2 == 0 ? random() % 2147483648u : random() % 3000;
    const auto n32 = static_cast<std::uint32_t>(n);
    const std::uint64_t g = random() % (n + 5);
    ASSERT_EQ(arith::has_primitive_root_u64(n), tamsel::has_primitive_root(n32)) << n;
    ASSERT_EQ(arith::least_primitive_root_u64(n), tamsel::least_primitive_root(n32)) << n;
    ASSERT_EQ(arith::count_primitive_roots_u64(n), tamsel::count_primitive_roots(n32)) << n;
    ASSERT_EQ(arith::is_primitive_root_u64(g, n),
              tamsel::is_primitive_root(static_cast<std::uint32_t>(g), n32))
        << g << " mod " << n;
  }
}
#endif

}  // namespace
