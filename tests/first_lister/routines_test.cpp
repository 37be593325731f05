#include "first_lister/routines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "first_lister/solve.h"

namespace first_lister {
namespace {

class Routines : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { build_flags(); }
};

std::vector<std::int32_t> divisors_of(std::int32_t x) {
  cal(x);
  return G;
}

// Whether some g has multiplicative order φ(n) modulo n, found by walking the powers.
bool has_root_by_orders(std::int32_t n) {
  std::int32_t units = 0;
  for (std::int32_t g = 1; g < n; ++g) units += std::gcd(g, n) == 1;
  for (std::int32_t g = 1; g < n; ++g) {
    if (std::gcd(g, n) != 1) continue;
    std::int32_t order = 1;
    for (std::int64_t power = g % n; power != 1 % n; power = power * g % n) ++order;
    if (order == units) return true;
  }
  return false;
}

TEST_F(Routines, FlagsMarkExactlyThePrimesBelowN) {
  EXPECT_FALSE(f[0]);
  EXPECT_FALSE(f[1]);
  EXPECT_TRUE(f[2]);
  EXPECT_TRUE(f[999983]);
  EXPECT_FALSE(f[999999]);
  EXPECT_EQ(std::count(f, f + N, true), 78498);
}

TEST_F(Routines, PrimalityBeyondTheTableByAProbablePrimeTest) {
  EXPECT_TRUE(is_prime(2147483647));
  EXPECT_FALSE(is_prime(2147117569));  // 46337²
  EXPECT_FALSE(is_prime(-7));
}

TEST_F(Routines, PhiOnPrimesPrimePowersAndProducts) {
  EXPECT_EQ(phi(7), 6);
  EXPECT_EQ(phi(999983), 999982);
  EXPECT_EQ(phi(9), 6);
  EXPECT_EQ(phi(1024), 512);
  EXPECT_EQ(phi(6), 2);
  EXPECT_EQ(phi(18), 6);
  EXPECT_EQ(phi(2 * 499979), 499978);  // a large prime cofactor below the table bound
  // Beyond the table: a prime must not cost a walk up to itself.
  EXPECT_EQ(phi(2147483647), 2147483646);
  EXPECT_EQ(phi(2147117569), 46337 * 46336);
  EXPECT_EQ(phi(1162261467), 774840978);  // 3^19
  EXPECT_EQ(phi(2 * 1073741789), 1073741788);
  EXPECT_EQ(phi(2147483646), 534600000);
}

TEST_F(Routines, GcdAgreesWithEuclidAndTakesEitherOrder) {
  EXPECT_EQ(gcd(4, 6), 2);
  EXPECT_EQ(gcd(5, 6), 1);
  for (std::int32_t a = 1; a < 120; ++a) {
    for (std::int32_t b = 0; b < 120; ++b) ASSERT_EQ(gcd(a, b), std::gcd(a, b)) << a << ' ' << b;
  }
}

TEST_F(Routines, QuickModIncludingExponentZeroAndLargeModuli) {
  EXPECT_EQ(quick_mod(5, 0, 7), 1);
  EXPECT_EQ(quick_mod(5, 0, 1), 1);
  EXPECT_EQ(quick_mod(3, 3, 7), 6);
  EXPECT_EQ(quick_mod(2, 31, 2147483647), 1);
  EXPECT_EQ(quick_mod(2147483646, 3, 2147483647), 2147483646);  // (-1)^3, products near 2^62
  EXPECT_EQ(quick_mod(7, 2147483646, 2147483647), 1);
}

TEST_F(Routines, CalListsProperDivisorsInPairs) {
  using V32 = std::vector<std::int32_t>;
  EXPECT_EQ(divisors_of(12), (V32{2, 6, 3, 4}));
  EXPECT_EQ(divisors_of(16), (V32{2, 8, 4}));
  EXPECT_EQ(divisors_of(6), (V32{2, 3}));
  EXPECT_EQ(divisors_of(2), V32{});
  EXPECT_EQ(divisors_of(1), V32{});
  EXPECT_EQ(divisors_of(999983), V32{});
  EXPECT_EQ(divisors_of(1000003), V32{});
  EXPECT_EQ(divisors_of(2147117569), V32{46337});

  // 2147483646 = 2·3²·7·11·31·151·331 has 192 divisors.
  V32 all = divisors_of(2147483646);
  EXPECT_EQ(all.size(), 190u);
  for (std::int32_t d : all) EXPECT_EQ(2147483646 % d, 0) << d;
  std::sort(all.begin(), all.end());
  EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end());
}

TEST_F(Routines, ExistMatchesTheOrdersOfSmallNumbers) {
  EXPECT_FALSE(exist(0));
  EXPECT_FALSE(exist(1));
  EXPECT_FALSE(exist(2));
  for (std::int32_t n = 3; n < 400; ++n) ASSERT_EQ(exist(n), has_root_by_orders(n)) << n;
}

TEST_F(Routines, ExistBeyondTheTable) {
  for (std::int32_t n : {1000003, 2 * 1000003, 1009 * 1009, 2 * 1009 * 1009, 1162261467, 2147117569,
                         2147483647, 2 * 999983}) {
    EXPECT_TRUE(exist(n)) << n;
  }
  for (std::int32_t n : {1 << 21, 1 << 30, 4 * 1000003, 3 * 1000003, 3 * 1009 * 1009, 46327 * 46337,
                         2147483646, 1000000}) {
    EXPECT_FALSE(exist(n)) << n;
  }
}

bool prime_by_trial_division(std::int32_t n) {
  bool prime = n >= 2;
  for (std::int64_t i = 2; i * i <= n && prime; ++i) prime = n % i != 0;
  return prime;
}

// exist() by its definition: halve once, then try the odd numbers up to the root.
bool exist_by_trial_division(std::int32_t n) {
  if (n % 2 == 0) n /= 2;
  if (prime_by_trial_division(n)) return true;
  for (std::int64_t i = 3; i * i <= n; i += 2) {
    if (n % i != 0) continue;
    while (n % i == 0) n /= static_cast<std::int32_t>(i);
    return n == 1;
  }
  return false;
}

TEST_F(Routines, ExistAndPrimalityGiveTheAnswersOfTrialDivision) {
  for (std::int32_t n = 0; n < 200000; ++n) ASSERT_EQ(exist(n), exist_by_trial_division(n)) << n;
  std::uint64_t x = 11;
  for (int k = 0; k < 3000; ++k) {
    x = x * 6364136223846793005ull + 1442695040888963407ull;
    const auto n = static_cast<std::int32_t>(x >> 33);
    ASSERT_EQ(exist(n), exist_by_trial_division(n)) << n;
    ASSERT_EQ(is_prime(n), prime_by_trial_division(n)) << n;
  }
  for (std::int32_t n : {2146654199, 46337 * 46337, 2 * 32749 * 32749, 1289 * 1289 * 1289,
                         2147483647, 2147483629, 1000000007, 2 * 1000000007 - 2, 3 * 715827881}) {
    EXPECT_EQ(exist(n), exist_by_trial_division(n)) << n;
  }
}

TEST_F(Routines, LeastRootIsTheSmallestGenerator) {
  EXPECT_EQ(least_root(3, 2), 2);
  EXPECT_EQ(least_root(7, 6), 3);
  EXPECT_EQ(least_root(18, 6), 5);
  EXPECT_EQ(least_root(999983, 999982), 5);
  EXPECT_EQ(least_root(2147483647, 2147483646), 7);
  EXPECT_EQ(V, std::vector<std::int32_t>{7});
}

}  // namespace
}  // namespace first_lister
