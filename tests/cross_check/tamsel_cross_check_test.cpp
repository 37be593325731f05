// tamsel and tamsel4-2 are two generations of one tool: for every number they must print
// the same bytes, however differently they find the roots.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/process.h"

namespace {

using testing_support::run_program;

std::string numbers_text(const std::vector<std::int64_t>& numbers) {
  std::string text;
  for (std::int64_t n : numbers) text += std::to_string(n) + '\n';
  return text;
}

void expect_same_answers(const std::vector<std::int64_t>& numbers) {
  const std::string input = numbers_text(numbers);
  const auto first = run_program(TAMSEL_PATH, input);
  const auto second = run_program(TAMSEL42_PATH, input);
  ASSERT_EQ(first.exit_code, 0) << first.err;
  ASSERT_EQ(second.exit_code, 0) << second.err;
  ASSERT_EQ(first.out.size(), second.out.size());
  // Point at the first differing line rather than dumping megabytes.
  std::size_t line = 0;
  for (std::size_t i = 0; i < first.out.size(); ++i) {
    if (first.out[i] != second.out[i]) FAIL() << "answers differ for " << numbers[line];
    line += first.out[i] == '\n';
  }
}

TEST(CrossCheck, EveryNumberUpTo20000) {
  std::vector<std::int64_t> numbers;
  for (std::int64_t n = 0; n <= 20000; ++n) numbers.push_back(n);
  expect_same_answers(numbers);
}

// n = 2^a·m with m odd: roots exist only for 2, 4, p^k and 2·p^k, and those above the
// table have hundreds of thousands of roots, so the sample keeps only a few of them.
bool few_roots(std::int64_t n) {
  if (n % 4 == 0) return true;
  std::int64_t m = n % 2 == 0 ? n / 2 : n;
  for (std::int64_t p = 3; p * p <= m; p += 2) {
    if (m % p == 0) {
      while (m % p == 0) m /= p;
      return m != 1;  // a second odd prime
    }
  }
  return false;  // m is an odd prime
}

TEST(CrossCheck, NumbersBeyondTheTables) {
  // Prime powers and doubled prime powers just past the tables, where both programs
  // leave their look-ups for trial division.
  std::vector<std::int64_t> numbers{1000003, 1018081, 1594323, 1999966, 2000006};
  // Powers of two, which the two generations reject by different tests.
  for (std::int64_t n = 1 << 20; n <= 2147483647 / 2; n *= 2) numbers.push_back(n);
  // A deterministic spread over the rest of the domain.
  std::uint64_t state = 12345;
  while (numbers.size() < 400) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    const auto n = static_cast<std::int64_t>(1000000 + (state >> 33) % (2147483647 - 1000000));
    if (few_roots(n)) numbers.push_back(n);
  }
  expect_same_answers(numbers);
}

}  // namespace
