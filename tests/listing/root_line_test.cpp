#include "listing/root_line.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <string>

#include "listing/processor_features.h"

namespace {

// The plain way: each residue converted on its own.
std::string plain(std::size_t w, std::uint64_t bits) {
  std::string text;
  for (; bits != 0; bits &= bits - 1) {
    text += std::to_string(w * 64 + static_cast<unsigned>(std::countr_zero(bits))) + ' ';
  }
  return text;
}

// Writes the words w0 .. w0 + count - 1 with one writer, as a line does.
void expect_words_like_plain(std::size_t w0, std::size_t count, std::uint64_t seed) {
  std::mt19937_64 random(seed);
  listing::RootWordWriter writer;
  for (std::size_t w = w0; w < w0 + count; ++w) {
    // Full, empty, single-bit and random words.
    const std::uint64_t kinds[] = {~std::uint64_t{0}, 0, std::uint64_t{1} << 63, 1, random()};
    const std::uint64_t bits = kinds[(w + seed) % 5];
    char buffer[listing::RootWordWriter::kMaxWordBytes];
    const std::string written(buffer, writer.write(buffer, w, bits));
    ASSERT_EQ(written, plain(w, bits)) << "word " << w;
  }
}

TEST(RootWordWriter, MatchesThePlainWayAtEveryLengthChange) {
  // Without the wide byte permutations, and with them where the processor has them.
  const auto expect_all = [] {
    expect_words_like_plain(0, 40, 1);  // one-, two- and three-digit numbers
    for (std::uint64_t power = 1000; power <= 1000000000; power *= 10) {
      expect_words_like_plain(power / 64 - 8, 16, power);  // carries into a new digit
    }
    expect_words_like_plain((std::uint64_t{1} << 31) / 64 - 40, 40, 7);  // the largest values
    expect_words_like_plain((std::uint64_t{1} << 32) / 64 - 4, 4, 8);
  };
  {
    const listing::FeatureOverride plain(false, false);
    expect_all();
  }
  if (!listing::wide_text())
    GTEST_SKIP() << "no 512-bit byte permutations here: only the plain way ran";
  expect_all();
}

TEST(RootWordWriter, SkippedWordsDoNotConfuseIt) {
  listing::RootWordWriter writer;
  char buffer[listing::RootWordWriter::kMaxWordBytes];
  for (std::size_t w : {std::size_t{5}, std::size_t{20}, std::size_t{21}, std::size_t{1562499},
                        std::size_t{1562500}, std::size_t{300}, std::size_t{33554431}}) {
    const std::string written(buffer, writer.write(buffer, w, ~std::uint64_t{0}));
    EXPECT_EQ(written, plain(w, ~std::uint64_t{0})) << "word " << w;
  }
}

}  // namespace
