// The longest list of the range, marked on the kernel's own bitmap: n = 2^31 - 1, past
// the size marked directly, so that every root goes through the buckets of all 512
// regions. Long enough that runs under sanitizers or an emulator may leave it out.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <span>
#include <vector>

#include "arith/prime_factors.h"
#include "listing/root_bitmap.h"
#include "tests/support/oracle.h"

namespace {

TEST(LargestList, HasEveryRootAndNothingElse) {
  constexpr std::uint32_t n = 2147483647, phi = n - 1;
  std::vector<std::uint32_t> primes;
  arith::distinct_prime_factors(phi, primes);
  listing::RootBitmap roots;
  ASSERT_TRUE(listing::mark_generator_powers(n, static_cast<std::uint32_t>(oracle::least_root(n)),
                                             phi, primes, roots));
  EXPECT_EQ(roots.count(), 534600000u);

  // Residues spread over the range, a third of them in the last region (from 511 · 2^22),
  // each compared with the oracle, and so is the first marked residue after each.
  const std::span<const std::uint64_t> words = roots.words();
  ASSERT_EQ(words.size(), (std::size_t{n} + 63) / 64);
  const auto marked = [&](std::uint64_t r) { return (words[r / 64] >> (r % 64) & 1) != 0; };
  const auto is_root = [&](std::uint64_t r) {
    return oracle::is_root(r, n, phi, oracle::distinct_primes(phi));
  };
  std::mt19937_64 random(2147483647);
  constexpr std::uint64_t kLastRegion = std::uint64_t{511} << 22;
  std::size_t roots_checked = 0;
  for (int k = 0; k < 300; ++k) {
    std::uint64_t r = k % 3 == 0 ? kLastRegion + random() % (n - kLastRegion) : random() % n;
    ASSERT_EQ(marked(r), is_root(r)) << r;
    while (r < n && !marked(r)) ++r;
    if (r == n) continue;
    ASSERT_TRUE(is_root(r)) << r;
    ++roots_checked;
  }
  EXPECT_GT(roots_checked, 250u);
}

}  // namespace
