#include "core/tables.h"

#include <gtest/gtest.h>

#include <vector>

#include "arith/primality.h"
#include "core/lookup.h"
#include "tests/support/oracle.h"

namespace {

class Tables : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { core::get_primesAndEulers(); }
};

TEST_F(Tables, BoundsAndKnownValues) {
  EXPECT_EQ(core::cnt, 78499);
  EXPECT_EQ(core::primes[0], 2);
  EXPECT_EQ(core::primes[core::cnt - 1], 1000003);
  EXPECT_EQ(core::primes[core::cnt], 0);
  EXPECT_FALSE(core::st[0]);
  EXPECT_TRUE(core::st[1]);
  EXPECT_FALSE(core::st[1000003]);
  EXPECT_TRUE(core::st[1000010]);
  EXPECT_FALSE(core::st[core::N + 1]);  // nothing is written above N
  EXPECT_EQ(core::euler[0], 0);
  EXPECT_EQ(core::euler[1], 1);
  EXPECT_EQ(core::euler[2], 1);
  EXPECT_EQ(core::euler[9], 6);
  EXPECT_EQ(core::euler[1000003], 1000002);
  EXPECT_EQ(core::euler[1000010], 363600);  // N itself, written once as 2 · 500005
  EXPECT_EQ(core::euler[core::N + 1], 0);
}

TEST_F(Tables, AgreeWithAPlainSieveEverywhere) {
  // Smallest prime factors by Eratosthenes, then φ by its product formula.
  const std::uint32_t n = core::N;
  const std::vector<std::uint32_t> smallest = oracle::smallest_prime_factors(n);
  for (std::uint32_t i = 2; i <= n; ++i) {
    std::int64_t phi = i;
    for (std::uint32_t m = i; m > 1;) {
      const std::uint32_t p = smallest[m];
      phi -= phi / p;
      while (m % p == 0) m /= p;
    }
    ASSERT_EQ(core::st[i], smallest[i] != i) << i;
    ASSERT_EQ(core::euler[i], phi) << i;
  }
}

TEST_F(Tables, LookupsBeyondTheTables) {
  EXPECT_TRUE(core::is_prime(1000033));
  EXPECT_TRUE(core::is_prime(2147483647));
  EXPECT_FALSE(core::is_prime(1018081));     // 1009²
  EXPECT_FALSE(core::is_prime(2147395600));  // 46340²
  EXPECT_FALSE(core::is_prime(0));
  EXPECT_FALSE(core::is_prime(1));
  // Composites that pass the strong probable-prime test to one or two of its bases.
  for (const std::uint32_t n : {8321u, 11041u, 13213u, 79381u, 916327u, 2269093u}) {
    EXPECT_FALSE(arith::is_prime(n)) << n;
    EXPECT_FALSE(arith::is_prime_power(n)) << n;
    EXPECT_FALSE(core::is_prime(n)) << n;
  }
  EXPECT_EQ(core::totient(1000033), 1000032);
  EXPECT_EQ(core::totient(2000006), 1000002);       // 2 · 1000003
  EXPECT_EQ(core::totient(1018081), 1009 * 1008);   // 1009²
  EXPECT_EQ(core::totient(1953125), 1562500);       // 5⁹
  EXPECT_EQ(core::totient(2147483646), 534600000);  // 2·3²·7·11·31·151·331
  EXPECT_EQ(core::totient(2147483647), 2147483646);
  // Across the table edge both ways agree.
  for (std::int64_t i = core::N - 50; i <= core::N + 50; ++i) {
    EXPECT_EQ(core::totient(i), static_cast<std::int64_t>(oracle::totient(i))) << i;
  }
}

}  // namespace
