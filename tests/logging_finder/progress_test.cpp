#include "logging_finder/progress.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace {

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

// The percentage a frame shows: its three places after the '\r'.
int shown(const ProgressFrames& frames) {
  return std::stoi(std::string(frames.frame().substr(1, 3)));
}

// Walks a list of m roots as the loop does away from a terminal, runs of equal frames
// skipped: the last root of each run and the first after it must show the percentage
// of their index.
void expect_extended_percentages(ProgressFrames& frames, std::uint64_t m) {
  frames.start(m);
  for (std::uint64_t i = 0; i < m;) {
    frames.next();
    ASSERT_EQ(shown(frames), extended_percent(i, m)) << i << " of " << m;
    const std::uint64_t same = std::min(m - 1 - i, frames.repeats_ahead());
    frames.skip(same);
    i += same;
    ASSERT_EQ(shown(frames), extended_percent(i, m)) << i << " of " << m;
    ++i;
  }
}

TEST(ProgressFrames, ShowTheExactExtendedPrecisionPercentage) {
  ProgressFrames frames;
  // Around every percentage boundary of random lists up to the largest, where a wrong
  // rounding would show; multiples of 100 make the boundaries exact.
  std::mt19937_64 random(43);
  for (int trial = 0; trial < 4000; ++trial) {
    std::uint64_t m = random() % (std::uint64_t{1} << 31) + 1;
    if (trial % 2 == 0) m = m / 100 * 100 + 100;
    expect_extended_percentages(frames, m);
  }
  // Root by root: a frame is new exactly when its percentage moves, and a new list
  // starts without the previous list's marks.
  for (std::uint64_t m : {100, 1, 7, 99, 101, 300, 1234, 10000, 333332}) {
    expect_extended_percentages(frames, m);
    frames.start(m);
    frames.next();
    EXPECT_EQ(frames.frame(), "\r  0%=>");
    int previous = 0;
    for (std::uint64_t i = 1; i < m; ++i) {
      const bool changed = frames.next();
      ASSERT_EQ(shown(frames), extended_percent(i, m)) << i << " of " << m;
      ASSERT_EQ(changed, shown(frames) != previous) << i << " of " << m;
      previous = shown(frames);
    }
  }
}

TEST(ProgressFrames, AgreeWithLongDoubleWhereItIsExtended) {
  if (std::numeric_limits<long double>::digits != 64) GTEST_SKIP() << "no 64-bit long double";
  ProgressFrames frames;
  for (std::uint64_t m = 1; m <= 3000; ++m) {
    frames.start(m);
    for (std::uint64_t i = 0; i < m; ++i) {
      frames.next();
      ASSERT_EQ(shown(frames), static_cast<int>(static_cast<long double>(i) / m * 100))
          << i << " of " << m;
    }
  }
}

TEST(ProgressFrames, HundredRootsRepeatFiftyTwoAndFiftyEight) {
  ProgressFrames frames;
  frames.start(100);
  for (std::uint64_t i = 0; i < 100; ++i) {
    frames.next();
    EXPECT_EQ(shown(frames), i == 53 || i == 59 ? static_cast<int>(i) - 1 : static_cast<int>(i));
  }
}

}  // namespace
