#include "common/root_bitmap.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "tests/support/capture.h"

namespace {

// The residues g^k mod n for k in 1 .. phi coprime to phi, computed the slow way.
std::vector<std::uint32_t> slow_powers(std::uint32_t n, std::uint32_t g, std::uint32_t phi) {
  std::vector<bool> marked(n);
  std::uint64_t power = 1;
  for (std::uint32_t k = 1; k <= phi; ++k) {
    power = power * g % n;
    if (std::gcd(k, phi) == 1) marked[power] = true;
  }
  std::vector<std::uint32_t> list;
  for (std::uint32_t r = 0; r < n; ++r) {
    if (marked[r]) list.push_back(r);
  }
  return list;
}

std::vector<std::uint32_t> distinct_primes(std::uint32_t v) {
  std::vector<std::uint32_t> primes;
  for (std::uint32_t p = 2; p * p <= v; ++p) {
    if (v % p != 0) continue;
    primes.push_back(p);
    while (v % p == 0) v /= p;
  }
  if (v > 1) primes.push_back(v);
  return primes;
}

std::uint64_t power_mod(std::uint64_t b, std::uint64_t e, std::uint64_t n) {
  std::uint64_t r = 1 % n;
  for (b %= n; e != 0; e >>= 1, b = b * b % n) {
    if (e & 1) r = r * b % n;
  }
  return r;
}

// The least g whose powers g^(phi/q) are all different from 1.
std::uint32_t least_root(std::uint32_t n, std::uint32_t phi,
                         const std::vector<std::uint32_t>& primes) {
  for (std::uint32_t g = 1;; ++g) {
    bool root = power_mod(g, phi, n) == 1 % n;
    for (std::uint32_t q : primes) root = root && power_mod(g, phi / q, n) != 1;
    if (root) return g;
  }
}

struct Case {
  std::uint32_t n, phi;
};

TEST(MarkGeneratorPowers, MatchesTheSlowWalk) {
  // Small lists, the prime 870871 whose φ has seven distinct prime factors, n with
  // φ(n) past one exponent block, and residues at bitmap word edges (n = 64k ± 1).
  const Case cases[] = {{2, 1, 1},           {3, 2, 2},
                        {5, 2, 4},           {9, 2, 6},
                        {54, 5, 18},         {193, 5, 192},
                        {4289, 3, 4288},     {65537, 3, 65536},
                        {870871, 3, 870870}, {1000003, 2, 1000002}};
  for (const Case& c : cases) {
    const auto primes = distinct_primes(c.phi);
    common::RootBitmap roots;
    common::mark_generator_powers(c.n, c.g, c.phi, primes, roots);
    std::vector<std::uint32_t> listed;
    common::for_each_root(roots, [&](std::uint32_t r) { listed.push_back(r); });
    const auto expected = slow_powers(c.n, c.g, c.phi);
    EXPECT_EQ(listed, expected) << c.n;
    EXPECT_EQ(common::count_coprime(c.phi, primes), expected.size()) << c.n;
  }
}

TEST(MarkGeneratorPowers, LargeModulusGoesThroughBuckets) {
  // Above the direct-marking size (2^25) the roots pass through per-region buckets.
  const std::uint32_t n = 33554467;  // the least prime above 2^25
  const std::uint32_t phi = n - 1;
  const auto primes = distinct_primes(phi);
  const std::uint32_t g = least_root(n, phi, primes);
  common::RootBitmap roots;
  common::mark_generator_powers(n, g, phi, primes, roots);
  std::vector<bool> expected(n);
  std::uint64_t power = 1;
  std::size_t count = 0;
  for (std::uint32_t k = 1; k <= phi; ++k) {
    power = power * g % n;
    if (std::gcd(k, phi) == 1) {
      expected[power] = true;
      ++count;
    }
  }
  std::size_t listed = 0;
  bool all_expected = true;
  common::for_each_root(roots, [&](std::uint32_t r) {
    all_expected = all_expected && expected[r];
    ++listed;
  });
  EXPECT_TRUE(all_expected);
  EXPECT_EQ(listed, count);
}

TEST(WriteRootLine, AscendingWithCarriesAndLengthChanges) {
  // Gaps below ten are written by adding to the previous text: check carries through
  // several nines, a change of length and a large jump.
  common::RootBitmap roots;
  roots.modulus = 200000;
  roots.words.assign(200000 / 64 + 1, 0);
  const std::uint32_t marked[] = {1, 8, 9, 10, 99, 100, 999, 1003, 9999, 10000, 10009, 199999};
  std::string expected;
  for (std::uint32_t r : marked) {
    roots.words[r / 64] |= std::uint64_t{1} << (r % 64);
    expected += std::to_string(r) + ' ';
  }
  expected.back() = '\n';
  EXPECT_EQ(testing_support::capture(
                [&](common::OutputBuffer& out) { common::write_root_line(roots, out); }),
            expected);

  common::RootBitmap empty;
  empty.words.assign(4, 0);
  EXPECT_EQ(testing_support::capture(
                [&](common::OutputBuffer& out) { common::write_root_line(empty, out); }),
            "");
}

}  // namespace
