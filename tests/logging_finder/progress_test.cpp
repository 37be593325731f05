#include "logging_finder/progress.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>

namespace {

using logging_finder::percent;
using logging_finder::ProgressFrames;

__extension__ typedef unsigned __int128 Wide;

int bit_length(Wide v) {
  int bits = 0;
  for (; v != 0; v >>= 1) ++bits;
  return bits;
}

// (i / m) * 100 with a 64-bit significand and round-to-nearest-even after each step,
// done exactly in integers: the quotient is M * 2^-s with 2^63 <= M < 2^64.
int extended_percent(std::uint64_t i, std::uint64_t m) {
  if (i == 0) return 0;
  int s = 0;
  while (bit_length((Wide{i} << s) / m) < 64) ++s;
  Wide q = (Wide{i} << s) / m;
  const Wide r = (Wide{i} << s) % m;
  if (2 * r > m || (2 * r == m && (q & 1) != 0)) ++q;
  Wide product = q * 100;
  const int drop = bit_length(product) - 64;
  const Wide unit = Wide{1} << drop, rest = product & (unit - 1);
  product -= rest;
  if (2 * rest > unit || (2 * rest == unit && (product & unit) != 0)) product += unit;
  return static_cast<int>(product >> s);
}

TEST(Percent, AgreesWithExactExtendedArithmetic) {
  for (std::uint64_t k = 0; k < 100; ++k) EXPECT_EQ(percent(k, 100), extended_percent(k, 100));
  // Around every percentage boundary of random lists up to the largest, where a wrong
  // rounding would show; multiples of 100 make the boundaries exact.
  std::mt19937_64 random(43);
  for (int trial = 0; trial < 20000; ++trial) {
    std::uint64_t m = random() % (std::uint64_t{1} << 31) + 1;
    if (trial % 2 == 0) m = m / 100 * 100 + 100;
    const std::uint64_t k = random() % 100, i = k * m / 100;
    for (std::uint64_t j = i == 0 ? 0 : i - 1; j <= i + 1 && j < m; ++j) {
      ASSERT_EQ(percent(j, m), extended_percent(j, m)) << j << " of " << m;
    }
  }
}

TEST(Percent, AgreesWithLongDoubleWhereItIsExtended) {
  if (std::numeric_limits<long double>::digits != 64) GTEST_SKIP() << "no 64-bit long double";
  for (std::uint64_t m = 1; m <= 3000; ++m) {
    for (std::uint64_t i = 0; i < m; ++i) {
      ASSERT_EQ(percent(i, m), static_cast<int>(static_cast<long double>(i) / m * 100))
          << i << " of " << m;
    }
  }
}

TEST(Percent, HundredRootsRepeatFiftyTwoAndFiftyEight) {
  for (std::uint64_t i = 0; i < 100; ++i) {
    EXPECT_EQ(percent(i, 100), i == 53 || i == 59 ? static_cast<int>(i) - 1 : static_cast<int>(i));
  }
}

// The frames' text is checked end to end; here, the bookkeeping behind it.
TEST(ProgressFrames, TrackThePercentageWithoutDividing) {
  ProgressFrames frames;
  for (std::uint64_t m : {100, 1, 7, 99, 101, 300, 1234, 10000, 333332}) {
    frames.start(m);
    frames.next();
    EXPECT_EQ(frames.frame(), "\r  0%=>");  // the previous list's marks are gone
    int previous = 0;
    for (std::uint64_t i = 1; i < m; ++i) {
      const bool changed = frames.next();
      ASSERT_EQ(frames.current_percent(), percent(i, m)) << i << " of " << m;
      ASSERT_EQ(changed, frames.current_percent() != previous) << i << " of " << m;
      previous = frames.current_percent();
    }
    // Again with the runs skipped: every root skipped shows the frame before it.
    frames.start(m);
    for (std::uint64_t i = 0; i < m; ++i) {
      const std::uint64_t same = std::min(m - i, frames.repeats_ahead());
      for (std::uint64_t j = i; j < i + same; ++j) {
        ASSERT_EQ(percent(j, m), frames.current_percent()) << j << " of " << m;
      }
      frames.skip(same);
      if ((i += same) == m) break;
      frames.next();
      ASSERT_EQ(frames.current_percent(), percent(i, m)) << i << " of " << m;
    }
  }
}

}  // namespace
