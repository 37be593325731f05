// A run answers its first numbers by trial division and builds the prime flags later;
// both ways must give the same bytes. The flags can be built but never discarded, so
// this binary holds a single test, which answers everything before and after the build.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "first_lister/flag_policy.h"
#include "first_lister/routines.h"
#include "first_lister/solve.h"
#include "tests/support/capture.h"

namespace first_lister {
namespace {

// Large numbers with lists short enough to compare in full, and numbers without roots.
constexpr std::int32_t kAnsweredBeyond[] = {1000003, 999983,  2000006, 1018081,   1953125,
                                            1000001, 4000012, 2097152, 2147483646};

// What the routines say about every number below N, and about a spread above it.
std::string routines_on_all() {
  std::string text;
  auto add = [&](std::int32_t n) {
    text += is_prime(n) ? 'p' : '-';
    text += exist(n) ? 'e' : '-';
    if (n >= 2) text += std::to_string(phi(n));
    text += '\n';
  };
  for (std::int32_t n = 0; n < N; ++n) add(n);
  std::uint64_t x = 54321;
  for (int i = 0; i < 300; ++i) {
    x = x * 6364136223846793005u + 1442695040888963407u;
    add(N + static_cast<std::int32_t>((x >> 33) % (2147483647 - N)));
  }
  return text;
}

std::string answers_of_all() {
  Workspace work;
  return testing_support::capture([&](common::OutputBuffer& out) {
    for (std::int32_t n = 0; n <= 20000; ++n) solve(n, out, work);
    for (std::int32_t n : kAnsweredBeyond) solve(n, out, work);
  });
}

TEST(FlagsOnDemand, SameAnswersBeforeAndAfterTheBuild) {
  ASSERT_FALSE(flags_built());
  const std::string routines_by_trial = routines_on_all();
  const std::string answered_by_trial = answers_of_all();
  ASSERT_FALSE(flags_built()) << "the routines must not build the flags themselves";

  // Only numbers below N count, and the build comes with the first number past those
  // answered by trial division.
  for (std::int32_t n : {N, N + 1, 2147483647}) count_toward_flags(n);
  for (std::int32_t i = 0; i < kNumbersByTrialDivision; ++i) count_toward_flags(i);
  ASSERT_FALSE(flags_built());
  count_toward_flags(N - 1);
  ASSERT_TRUE(flags_built());

  EXPECT_TRUE(routines_by_trial == routines_on_all()) << "routines differ";
  EXPECT_TRUE(answered_by_trial == answers_of_all()) << "answer lines differ";
}

}  // namespace
}  // namespace first_lister
