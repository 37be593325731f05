#include "listing/root_bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <numeric>
#include <span>
#include <string>
#include <vector>

#include "arith/prime_factors.h"
#include "listing/exponent_sieve.h"
#include "listing/processor_features.h"
#include "listing/root_line.h"
#include "listing/word_products.h"
#include "tests/support/capture.h"
#include "tests/support/oracle.h"

namespace {

std::vector<std::uint32_t> primes_of(std::uint32_t phi) {
  std::vector<std::uint32_t> primes;
  arith::distinct_prime_factors(phi, primes);
  return primes;
}

// The residues g^k mod n for k in 1 .. phi coprime to phi, marked one by one.
std::vector<bool> slow_powers(std::uint32_t n, std::uint32_t g, std::uint32_t phi) {
  std::vector<bool> marked(n);
  std::uint64_t power = 1;
  for (std::uint32_t k = 1; k <= phi; ++k) {
    power = power * g % n;
    if (std::gcd(k, phi) == 1) marked[power] = true;
  }
  return marked;
}

// Marks into `reused` when given, as a batch reuses one bitmap from number to number.
void expect_marks_the_slow_walk(std::uint32_t n, std::uint32_t phi,
                                listing::RootBitmap* reused = nullptr) {
  const auto primes = primes_of(phi);
  EXPECT_EQ(std::vector<std::uint64_t>(primes.begin(), primes.end()), oracle::distinct_primes(phi));
  const auto g = n == 2 ? 1 : static_cast<std::uint32_t>(oracle::least_root(n));
  listing::RootBitmap own;
  listing::RootBitmap& roots = reused != nullptr ? *reused : own;
  listing::mark_generator_powers(n, g, phi, primes, roots);
  const std::vector<bool> expected = slow_powers(n, g, phi);
  std::size_t listed = 0, wrong = 0;
  listing::for_each_root(roots, [&](std::uint32_t r) {
    ++listed;
    wrong += !expected[r];
  });
  EXPECT_EQ(wrong, 0u) << n;
  EXPECT_EQ(listed, std::count(expected.begin(), expected.end(), true)) << n;
  EXPECT_EQ(listing::count_coprime(phi, primes), listed) << n;
}

TEST(MarkGeneratorPowers, MatchesTheSlowWalk) {
  // Small lists, the prime 870871 whose φ has seven distinct prime factors, n with
  // φ(n) past one exponent block, residues at bitmap word edges (n = 64k ± 1), and n
  // whose φ is a multiple of 4, odd and even, marked half and reflected.
  struct Case {
    std::uint32_t n, phi;
  };
  const Case cases[] = {{2, 1},
                        {3, 2},
                        {5, 4},
                        {9, 6},
                        {54, 18},
                        {193, 192},
                        {4289, 4288},
                        {65537, 65536},
                        {870871, 870870},
                        {1000003, 1000002},
                        {13, 12},
                        {578, 272},
                        {1000033, 1000032},
                        {2000066, 1000032}};
  for (const Case& c : cases) expect_marks_the_slow_walk(c.n, c.phi);
  for (std::uint32_t n : {13u, 578u, 1000033u, 2000066u}) {
    expect_marks_the_slow_walk(n, static_cast<std::uint32_t>(oracle::totient(n)));
  }
}

TEST(MarkGeneratorPowers, AReusedBitmapKeepsNoEarlierMarks) {
  // Its memory is not cleared past the list in use: a larger list's marks must not show
  // through a smaller one, nor come back when a larger one reuses the memory.
  listing::RootBitmap roots;
  for (std::uint32_t n : {1000003u, 13u, 4289u, 2u, 65537u, 193u, 1000033u, 5u}) {
    expect_marks_the_slow_walk(n, static_cast<std::uint32_t>(oracle::totient(n)), &roots);
  }
}

TEST(SieveOddExponentBlock, KeepsTheOddExponentsCoprimeToPhi) {
  // The first block and later ones, small primes cleared by masks and large ones bit by
  // bit, and the last exponent inside a word.
  const std::vector<std::uint32_t> primes = {2, 3, 5, 7, 61, 67, 101};
  std::vector<std::uint64_t> block(listing::kBlockWords);
  for (std::uint64_t lo :
       {std::uint64_t{1}, 1 + 2 * listing::kBlockBits, 1 + 14 * listing::kBlockBits}) {
    const std::uint64_t last = lo + 2 * listing::kBlockBits - 777;
    const std::uint64_t words = listing::sieve_odd_exponent_block(block.data(), lo, last, primes);
    ASSERT_EQ(words, (last - lo) / 128 + 1);
    for (std::uint64_t j = 0; j < words * 64; ++j) {
      const std::uint64_t k = lo + 2 * j;
      const bool coprime =
          std::all_of(primes.begin(), primes.end(), [k](std::uint32_t q) { return k % q != 0; });
      ASSERT_EQ((block[j / 64] >> (j % 64)) & 1, k <= last && coprime ? 1u : 0u)
          << "exponent " << k;
    }
  }
}

TEST(HugePages, ComeZeroedAlignedAndWhole) {
  // The bitmaps rely on fresh memory being zero; huge pages need their alignment.
  for (std::size_t bytes :
       {std::size_t{1}, std::size_t{100} << 10, (std::size_t{5} << 20) + 4096}) {
    auto* p = static_cast<unsigned char*>(listing::allocate_huge_pages(bytes));
    const std::size_t alignment = bytes >= listing::kHugePageBytes ? listing::kHugePageBytes : 64;
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % alignment, 0u) << bytes;
    EXPECT_EQ(static_cast<std::size_t>(std::count(p, p + bytes, 0)), bytes);
    std::fill(p, p + bytes, 0xff);  // all of it can be written
    listing::release_huge_pages(p, bytes);
  }
}

TEST(MarkGeneratorPowers, WithAndWithoutWideVectors) {
  // The plain products, and the wide ones where the processor has them, give the same
  // marks: full, empty and single-bit words at the ends of the range of n.
  const auto expect_marks = [] {
    expect_marks_the_slow_walk(193, 192);
    expect_marks_the_slow_walk(4289, 4288);
    expect_marks_the_slow_walk(1000003, 1000002);
  };
  {
    const listing::FeatureOverride plain(false, false);
    expect_marks();
  }
  if (!listing::wide_products()) GTEST_SKIP() << "no 512-bit vectors here: only the plain way ran";
  expect_marks();

  listing::WordFactors factors{};
  factors.n = 2147483647;
  std::uint64_t power = 1;
  for (int b = 0; b < 64; ++b, power = power * 2147483646 % factors.n) {
    factors.factor[b] = power;
    factors.scaled[b] = (power << 32) / factors.n;
  }
  for (std::uint64_t bits : {~std::uint64_t{0}, std::uint64_t{0}, std::uint64_t{1} << 63,
                             std::uint64_t{0x8000000100000001}}) {
    std::uint32_t plain[72], wide_out[72];
    std::size_t count;
    {
      const listing::FeatureOverride plain_only(false, false);
      count = listing::word_products(factors, 2147483646, bits, plain);
    }
    ASSERT_EQ(listing::word_products(factors, 2147483646, bits, wide_out), count);
    ASSERT_EQ(count, static_cast<std::size_t>(std::popcount(bits)));
    for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(wide_out[i], plain[i]) << i;
  }
}

TEST(MarkGeneratorPowers, LargeModulusGoesThroughBuckets) {
  // Above the direct-marking size (2^25) the roots pass through per-region buckets.
  expect_marks_the_slow_walk(33554467, 33554466);  // the least prime above 2^25
  expect_marks_the_slow_walk(33554473, 33554472);  // the next, its roots in pairs
}

TEST(WriteRootLine, AscendingWithCarriesAndLengthChanges) {
  // Gaps below ten are written by adding to the previous text: check carries through
  // several nines, a change of length and a large jump.
  listing::RootBitmap roots;
  const std::span<std::uint64_t> words = roots.reset(200000);
  const std::uint32_t marked[] = {1, 8, 9, 10, 99, 100, 999, 1003, 9999, 10000, 10009, 199999};
  std::string expected;
  for (std::uint32_t r : marked) {
    words[r / 64] |= std::uint64_t{1} << (r % 64);
    expected += std::to_string(r) + ' ';
  }
  expected.back() = '\n';
  EXPECT_EQ(testing_support::capture(
                [&](common::OutputBuffer& out) { listing::write_root_line(roots, out); }),
            expected);

  listing::RootBitmap empty;
  empty.reset(256);
  EXPECT_EQ(testing_support::capture(
                [&](common::OutputBuffer& out) { listing::write_root_line(empty, out); }),
            "");
}

}  // namespace
