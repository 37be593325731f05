// The longest list of the range, marked on the kernel's own bitmap: n = 2^31 - 1, past
// the size marked directly, so that every root goes through the buckets of all 512
// regions, and the last region ends at the top of the range. Long enough that runs under sanitizers
// or an emulator may leave it out.
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

  // Residues spread over the range, each compared with the oracle, and so is the first
  // marked residue after each; then every residue of the last 3000, in the last region.
  const std::span<const std::uint64_t> words = roots.words();
  ASSERT_EQ(words.size(), (std::size_t{n} + 63) / 64);
  const auto marked = [&](std::uint64_t r) { return (words[r / 64] >> (r % 64) & 1) != 0; };
  const std::vector<std::uint64_t> phi_primes = oracle::distinct_primes(phi);
  const auto is_root = [&](std::uint64_t r) { return oracle::is_root(r, n, phi, phi_primes); };
  std::mt19937_64 random(2147483647);
  for (int k = 0; k < 200; ++k) {
    std::uint64_t r = random() % n;
    ASSERT_EQ(marked(r), is_root(r)) << r;
    while (r < n && !marked(r)) ++r;
    if (r < n) {
      ASSERT_TRUE(is_root(r)) << r;
    }
  }
  std::size_t top_roots = 0;
  for (std::uint64_t r = n - 3000; r < n; ++r) {
    ASSERT_EQ(marked(r), is_root(r)) << r;
    top_roots += marked(r);
  }
  EXPECT_GT(top_roots, 600u);
}

}  // namespace
