// A run answers its first numbers by trial division and builds the tables later; both
// ways must give the same bytes. The tables can be built but never discarded, so this
// binary holds a single test, which answers everything before and after the build.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/answer.h"
#include "core/lookup.h"
#include "core/root_search.h"
#include "core/table_policy.h"
#include "core/tables.h"
#include "tests/support/capture.h"

namespace {

// Large numbers whose lists are short enough to compare in full (at most a few hundred
// thousand roots), beside the edge of the tables.
constexpr std::int32_t kListedBeyond[] = {1000003, 1000033, 2000006, 1018081, 1953125, 999983};

// Every number in 1 .. N, and a spread of numbers above N, through the look-ups.
struct Lookups {
  std::vector<bool> prime;
  std::vector<bool> judged;
  std::vector<std::int64_t> totient;
};

std::vector<std::int64_t> numbers_beyond() {
  std::vector<std::int64_t> numbers;
  for (std::int64_t n = core::N - 100; n <= core::N + 100; ++n) numbers.push_back(n);
  std::uint64_t x = 12345;
  for (int i = 0; i < 3000; ++i) {
    x = x * 6364136223846793005u + 1442695040888963407u;
    numbers.push_back(core::N + 1 + static_cast<std::int64_t>((x >> 33) % (2147483647 - core::N)));
  }
  for (std::int64_t n : {2147483647, 2147483646, 2147117569, 2147395600, 1073741789 * 2}) {
    numbers.push_back(n);
  }
  return numbers;
}

Lookups look_up_all(const std::vector<std::int64_t>& beyond) {
  Lookups all;
  auto add = [&](std::int64_t n) {
    all.prime.push_back(core::is_prime(n));
    all.judged.push_back(core::judge(static_cast<std::int32_t>(n)));
    all.totient.push_back(core::totient(n));
  };
  for (std::int64_t n = 0; n <= core::N; ++n) add(n);
  for (std::int64_t n : beyond) add(n);
  return all;
}

// The answer lines of 0 .. 20000 and of kListedBeyond, and for the numbers above N the
// plan each gets (their lists would be too long to print).
std::string answer_all(const std::vector<std::int64_t>& beyond) {
  core::AnswerLines lines;
  std::string text = testing_support::capture([&](common::OutputBuffer& out) {
    for (std::int32_t n = 0; n <= 20000; ++n) lines.write(n, out);
    for (std::int32_t n : kListedBeyond) lines.write(n, out);
  });
  for (std::int64_t n : beyond) {
    core::RootPlan plan;
    const core::Verdict verdict = core::classify(static_cast<std::int32_t>(n), plan);
    text += std::to_string(static_cast<int>(verdict)) + ' ' + std::to_string(plan.phi) + ' ' +
            std::to_string(plan.least_root) + ' ' + std::to_string(plan.count) + '\n';
  }
  return text;
}

TEST(TablesOnDemand, SameAnswersBeforeAndAfterTheBuild) {
  ASSERT_FALSE(core::tables_built());
  const std::vector<std::int64_t> beyond = numbers_beyond();
  const Lookups by_trial = look_up_all(beyond);
  const std::string answered_by_trial = answer_all(beyond);
  ASSERT_FALSE(core::tables_built()) << "the routines must not build the tables themselves";

  // Only numbers inside the tables count, and the build comes with the first number past
  // those answered by trial division.
  for (std::int64_t n : beyond) {
    if (n > core::N) core::count_toward_tables(n);
  }
  for (std::int32_t i = 0; i < core::kNumbersByTrialDivision; ++i) core::count_toward_tables(i);
  ASSERT_FALSE(core::tables_built());
  core::count_toward_tables(core::N);
  ASSERT_TRUE(core::tables_built());

  const Lookups from_tables = look_up_all(beyond);
  for (std::size_t i = 0; i < by_trial.prime.size(); ++i) {
    const std::int64_t n = i <= core::N ? static_cast<std::int64_t>(i) : beyond[i - core::N - 1];
    ASSERT_EQ(by_trial.prime[i], from_tables.prime[i]) << "is_prime " << n;
    ASSERT_EQ(by_trial.judged[i], from_tables.judged[i]) << "judge " << n;
    ASSERT_EQ(by_trial.totient[i], from_tables.totient[i]) << "totient " << n;
  }
  EXPECT_TRUE(answered_by_trial == answer_all(beyond)) << "answer lines differ";
}

}  // namespace
